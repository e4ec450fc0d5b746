#include "VeObjNode.h"

#include "VeObject.h"
#include "VeThreadRegistry.h"

VeObjNode::VeObjNode(VeObject* object, VeObjNode* parentNode) : QObject(parentNode)
{
    SetObject(object);
}

VeObjNode::~VeObjNode()
{
    delete m_pObject;
}

void VeObjNode::SetObject(VeObject* object)
{
    if (object == m_pObject)
        return;
    VeObject* former = m_pObject;
    m_pObject = object;
    if (!former)
        return;
    // A running load may be adding records to the former object: like a node
    // whose deletion was requested, it stays until the last load has finished.
    VeThreadRegistry* registry = VeThreadRegistry::Instance();
    if (registry->RunningCount() == 0) {
        delete former;
        return;
    }
    connect(registry, &VeThreadRegistry::sigAllThreadsFinished, former, &QObject::deleteLater);
}

VeObjNode* VeObjNode::ParentNode() const
{
    return qobject_cast<VeObjNode*>(parent());
}

QList<VeObjNode*> VeObjNode::ChildNodes() const
{
    return findChildren<VeObjNode*>(Qt::FindDirectChildrenOnly);
}

void VeObjNode::RequestDelete()
{
    if (m_bDeleteRequested)
        return;
    m_bDeleteRequested = true;
    VeThreadRegistry* registry = VeThreadRegistry::Instance();
    if (registry->RunningCount() == 0) {
        deleteLater();
        return;
    }
    connect(registry, &VeThreadRegistry::sigAllThreadsFinished, this, &QObject::deleteLater);
}
