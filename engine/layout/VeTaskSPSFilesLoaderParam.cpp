#include "VeTaskSPSFilesLoaderParam.h"

#include "SPSLayout.h"

VeTaskSPSFilesLoaderParam::VeTaskSPSFilesLoaderParam()
{
    m_strName = QStringLiteral("Load SPS File");
    SPSLayout::SetStandard(this, false);
}

VeTaskSPSFilesLoaderParam::~VeTaskSPSFilesLoaderParam() = default;

void VeTaskSPSFilesLoaderParam::CopyFrom(const VeTaskSPSFilesLoaderParam& other)
{
    if (&other == this)
        return;
    SourceFileName = other.SourceFileName;
    ReceiverFileName = other.ReceiverFileName;
    RelationFileName = other.RelationFileName;
    for (const SPSLayout::Field& f : SPSLayout::Fields())
        SPSLayout::SetValue(this, f, SPSLayout::Value(other, f));
    Numbering = other.Numbering;
}
