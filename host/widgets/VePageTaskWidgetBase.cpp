#include "VePageTaskWidgetBase.h"

#include "VeSheetTaskBaseDialog.h"

VePageTaskWidgetBase::VePageTaskWidgetBase(VeSheetTaskBaseDialog* dialog) : QWidget(dialog) {}

VePageTaskWidgetBase::~VePageTaskWidgetBase() = default;

void VePageTaskWidgetBase::SetPageParameter(const VeTaskParameter&) {}

bool VePageTaskWidgetBase::GetPageParameter(VeTaskParameter*)
{
    return CheckPageParameter();
}

bool VePageTaskWidgetBase::CheckPageParameter()
{
    return true;
}

void VePageTaskWidgetBase::UpdatePage() {}
