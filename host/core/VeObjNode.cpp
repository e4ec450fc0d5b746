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
    delete m_pObject;
    m_pObject = object;
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
