#pragma once

#include "Ve3DObject.h"
#include "VeRuntimeClass.h"

// The traces of one pre-stack gather. The host shows nodes of this class; loads only bind menus to it.
class VePrevSegyTracesGather : public Ve3DObject
{
    Q_OBJECT
    VE_DECLARE_RUNTIMECLASS(VePrevSegyTracesGather)
public:
    explicit VePrevSegyTracesGather(QObject* parent = nullptr) : Ve3DObject(parent) {}
};
