#include "VeMenuAgencyBase.h"

#include "VeObjNode.h"
#include "VeRuntimeClass.h"

#include <QMutex>
#include <QMutexLocker>
#include <QPair>

namespace {
struct Bindings
{
    // Guards pairs: libraries bind while they load, possibly beside a running host.
    QMutex mutex;
    QList<QPair<const VeRuntimeClass*, const VeRuntimeClass*>> pairs;
};

Bindings& bindings()
{
    static Bindings b;
    return b;
}
} // namespace

VeMenuAgencyBase::VeMenuAgencyBase(QObject* parent) : VeObject(parent) {}

VeMenuAgencyBase::~VeMenuAgencyBase() = default;

const VeRuntimeClass* VeMenuAgencyBase::GetThisClass()
{
    static const VeRuntimeClass record("VeMenuAgencyBase", int(sizeof(VeMenuAgencyBase)), nullptr,
                                       VeObject::GetThisClass());
    return &record;
}

void VeMenuAgencyBase::CreateNodeMenu(VeObjNode* node, QMenu*)
{
    SetCurEmbedNode(node);
}

void VeMenuAgencyBase::SetCurEmbedNode(VeObjNode* node)
{
    m_pCurEmbedNode = node;
}

QList<const VeRuntimeClass*> VeMenuAgencyBase::AgencyClassesFor(const VeRuntimeClass* objectClass)
{
    Bindings& b = bindings();
    QMutexLocker lock(&b.mutex);
    QList<const VeRuntimeClass*> agencies;
    for (const auto& pair : std::as_const(b.pairs))
        if (pair.first == objectClass)
            agencies.append(pair.second);
    return agencies;
}

VE_ObjToMenu_ClassInit::VE_ObjToMenu_ClassInit(const VeRuntimeClass* objectClass,
                                               const VeRuntimeClass* agencyClass)
    : m_pObjectClass(objectClass), m_pAgencyClass(agencyClass)
{
    Bindings& b = bindings();
    QMutexLocker lock(&b.mutex);
    const auto pair = qMakePair(objectClass, agencyClass);
    if (!agencyClass || b.pairs.contains(pair)) {
        qWarning("VE_ObjToMenu_ClassInit: agency \"%s\" is already bound to \"%s\"; the second "
                 "binding is refused",
                 agencyClass ? agencyClass->m_lpszClassName : "(none)",
                 objectClass ? objectClass->m_lpszClassName : "(no object)");
        return;
    }
    b.pairs.append(pair);
    m_bRegistered = true;
}

VE_ObjToMenu_ClassInit::~VE_ObjToMenu_ClassInit()
{
    if (!m_bRegistered)
        return;
    Bindings& b = bindings();
    QMutexLocker lock(&b.mutex);
    b.pairs.removeOne(qMakePair(m_pObjectClass, m_pAgencyClass));
}

static const VeRuntimeClass* const s_registeredVeMenuAgencyBase = VeMenuAgencyBase::GetThisClass();
