#include "VeObject.h"

#include "OrkaArchive.h"
#include "VeRuntimeClass.h"

#include <atomic>

VeObject::VeObject(QObject* parent) : QObject(parent) {}

VeObject::~VeObject() = default;

const VeRuntimeClass* VeObject::GetThisClass()
{
    // The root record: VeObject itself is abstract in use, so it has no factory.
    static const VeRuntimeClass record("VeObject", int(sizeof(VeObject)), nullptr, nullptr);
    return &record;
}

const VeRuntimeClass* VeObject::GetRuntimeClass() const
{
    return GetThisClass();
}

void VeObject::Serialize(OrkaArchive& ar)
{
    if (ar.IsStoring())
        ar.Stream() << m_strName << m_nID;
    else
        ar.Stream() >> m_strName >> m_nID;
}

QString VeObject::GetName() const
{
    return m_strName;
}

void VeObject::SetName(const QString& name)
{
    m_strName = name;
}

void VeObject::SetID(qint64 id)
{
    m_nID = id;
}

bool VeObject::IsKindOf(const VeRuntimeClass* rc) const
{
    const VeRuntimeClass* own = GetRuntimeClass();
    return own && own->IsDerivedFrom(rc);
}

qint64 VeObject::CreateUniqueID()
{
    static std::atomic<qint64> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}

static const VeRuntimeClass* const s_registeredVeObject = VeObject::GetThisClass();
