#include "VeRuntimeClass.h"

#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QtDebug>

namespace {
struct Registry
{
    // Guards byName: records register while libraries load, which may race with
    // a host creating objects by name on another thread.
    QMutex mutex;
    QHash<QString, const VeRuntimeClass*> byName;
};

Registry& registry()
{
    static Registry r;
    return r;
}
} // namespace

VeRuntimeClass::VeRuntimeClass(const char* className, int objectSize, Factory factory,
                               const VeRuntimeClass* baseClass)
    : m_lpszClassName(className), m_nObjectSize(objectSize), m_pfnCreateObject(factory),
      m_pBaseClass(baseClass)
{
    Registry& r = registry();
    QMutexLocker lock(&r.mutex);
    const QString name = QString::fromLatin1(className);
    if (r.byName.contains(name)) {
        qWarning("VeRuntimeClass: class \"%s\" is already registered; the second record is "
                 "refused",
                 className);
        return;
    }
    r.byName.insert(name, this);
    m_bRegistered = true;
}

VeRuntimeClass::~VeRuntimeClass()
{
    if (!m_bRegistered)
        return;
    Registry& r = registry();
    QMutexLocker lock(&r.mutex);
    r.byName.remove(QString::fromLatin1(m_lpszClassName));
}

VeObject* VeRuntimeClass::CreateObject() const
{
    return m_pfnCreateObject ? m_pfnCreateObject() : nullptr;
}

bool VeRuntimeClass::IsDerivedFrom(const VeRuntimeClass* baseClass) const
{
    for (const VeRuntimeClass* rc = this; rc; rc = rc->m_pBaseClass)
        if (rc == baseClass)
            return true;
    return false;
}

const VeRuntimeClass* VeRuntimeClass::FromName(const QString& className)
{
    Registry& r = registry();
    QMutexLocker lock(&r.mutex);
    return r.byName.value(className, nullptr);
}

VeObject* VeRuntimeClass::CreateObject(const QString& className)
{
    const VeRuntimeClass* rc = FromName(className);
    return rc ? rc->CreateObject() : nullptr;
}

QList<const VeRuntimeClass*> VeRuntimeClass::RegisteredClasses()
{
    Registry& r = registry();
    QMutexLocker lock(&r.mutex);
    return r.byName.values();
}
