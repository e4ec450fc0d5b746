#include "VePrevSegyTracesGather.h"

#include "VeRuntimeClass.h"

VE_IMPLEMENT_RUNTIMECLASS(VePrevSegyTracesGather, Ve3DObject)
