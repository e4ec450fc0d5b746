#pragma once

#include "VeDataObject.h"

// A data object placed in the survey's three-dimensional space.
class Ve3DObject : public VeDataObject
{
    Q_OBJECT
public:
    explicit Ve3DObject(QObject* parent = nullptr) : VeDataObject(parent) {}

    static const VeRuntimeClass* GetThisClass();
    const VeRuntimeClass* GetRuntimeClass() const override { return GetThisClass(); }

    virtual QString Get3DDataObjInfo() const { return GetDataObjInfo(); }
};
