#include "VePrevStackSegyObserver.h"

#include "VeRuntimeClass.h"

VE_IMPLEMENT_RUNTIMECLASS(VePrevStackSegyObserver, Ve3DObject)
