#pragma once

#include "Ve3DObject.h"
#include "VeRuntimeClass.h"

// A view position on pre-stack data. The host shows nodes of this class; loads only bind menus to it.
class VePrevStackSegyObserver : public Ve3DObject
{
    Q_OBJECT
    VE_DECLARE_RUNTIMECLASS(VePrevStackSegyObserver)
public:
    explicit VePrevStackSegyObserver(QObject* parent = nullptr) : Ve3DObject(parent) {}
};
