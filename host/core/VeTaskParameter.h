#pragma once

#include "VeObject.h"

// Base of the parameter record of a host task.
class VeTaskParameter : public VeObject
{
    Q_OBJECT
public:
    explicit VeTaskParameter(QObject* parent = nullptr) : VeObject(parent) {}

    static const VeRuntimeClass* GetThisClass();
    const VeRuntimeClass* GetRuntimeClass() const override { return GetThisClass(); }

    // Whether the record is fit to run its task with; the task asks before it starts.
    virtual bool IsValid() const { return true; }
};
