#include "VeDataObject.h"

#include "Ve3DObject.h"
#include "VeRuntimeClass.h"

const VeRuntimeClass* VeDataObject::GetThisClass()
{
    static const VeRuntimeClass record("VeDataObject", int(sizeof(VeDataObject)), nullptr,
                                       VeObject::GetThisClass());
    return &record;
}

const VeRuntimeClass* Ve3DObject::GetThisClass()
{
    static const VeRuntimeClass record("Ve3DObject", int(sizeof(Ve3DObject)), nullptr,
                                       VeDataObject::GetThisClass());
    return &record;
}

bool VeDataObject::Copy(const VeDataObject& other)
{
    if (other.GetRuntimeClass() != GetRuntimeClass())
        return false;
    m_strName = other.m_strName;
    m_nParentID = other.m_nParentID;
    m_pParentObj = other.m_pParentObj;
    m_dInvalidValue = other.m_dInvalidValue;
    return true;
}

QString VeDataObject::GetDataObjInfo() const
{
    return QStringLiteral("%1 \"%2\" (ID %3)")
        .arg(QString::fromLatin1(GetRuntimeClass()->m_lpszClassName), m_strName)
        .arg(m_nID);
}

void VeDataObject::SetParentObj(VeDataObject* parentObject)
{
    m_pParentObj = parentObject;
    m_nParentID = parentObject ? parentObject->GetID() : 0;
}

QVector<qint64> VeDataObject::GetHistgram(int bins) const
{
    return QVector<qint64>(qMax(bins, 0), 0);
}

static const VeRuntimeClass* const s_registeredVeDataObject = VeDataObject::GetThisClass();
static const VeRuntimeClass* const s_registeredVe3DObject = Ve3DObject::GetThisClass();
