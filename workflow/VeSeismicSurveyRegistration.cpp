// The class records and menu bindings of the library, made while it loads, in
// this order: the menu agency's record, its four bindings, the loader task's
// record. Kept in one translation unit, which fixes that order.

#include "VeMenuAgencySeismicSurvey.h"
#include "VePrevSegyTracesGather.h"
#include "VePrevStackSegyGeometry.h"
#include "VePrevStackSegyObserver.h"
#include "VeTaskSPSFilesLoader.h"

VE_IMPLEMENT_RUNTIMECLASS(VeMenuAgencySeismicSurvey, VeMenuAgencyBase)

// Null: nodes without an object.
static const VE_ObjToMenu_ClassInit s_bindNoObject(nullptr,
                                                   VeMenuAgencySeismicSurvey::GetThisClass());
static const VE_ObjToMenu_ClassInit s_bindGather(VePrevSegyTracesGather::GetThisClass(),
                                                 VeMenuAgencySeismicSurvey::GetThisClass());
static const VE_ObjToMenu_ClassInit s_bindGeometry(VePrevStackSegyGeometry::GetThisClass(),
                                                   VeMenuAgencySeismicSurvey::GetThisClass());
static const VE_ObjToMenu_ClassInit s_bindObserver(VePrevStackSegyObserver::GetThisClass(),
                                                   VeMenuAgencySeismicSurvey::GetThisClass());

VE_IMPLEMENT_RUNTIMECLASS(VeTaskSPSFilesLoader, VeTask)
