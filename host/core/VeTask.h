#pragma once

#include "VeObject.h"

#include <QPointer>

#include "VeObjNode.h"
class VeTaskParameter;

// A host task: run by the host with Execute, on its target node of the object tree.
class VeTask : public VeObject
{
    Q_OBJECT
public:
    explicit VeTask(QObject* parent = nullptr);
    ~VeTask() override;

    static const VeRuntimeClass* GetThisClass();
    const VeRuntimeClass* GetRuntimeClass() const override { return GetThisClass(); }

    // Owned by the task; a former parameter is deleted.
    VeTaskParameter* GetTaskParameter() const { return m_pTaskParam; }
    void SetTaskParameter(VeTaskParameter* param);

    // Set by the host; a node deleted meanwhile reads back as null.
    VeObjNode* GetTargetNode() const { return m_pTargetNode; }
    void SetTargetNode(VeObjNode* node) { m_pTargetNode = node; }

public Q_SLOTS:
    virtual void Execute() {}

protected:
    VeTaskParameter* m_pTaskParam = nullptr;
    QPointer<VeObjNode> m_pTargetNode;
};
