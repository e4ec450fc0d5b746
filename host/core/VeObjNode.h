#pragma once

#include <QObject>

class VeObject;

// A node of the host's object tree. It owns the object it holds (or holds none);
// child nodes are its QObject children.
class VeObjNode : public QObject
{
    Q_OBJECT
public:
    explicit VeObjNode(VeObject* object = nullptr, VeObjNode* parentNode = nullptr);
    ~VeObjNode() override;

    // The node's object query: the object held, or null.
    VeObject* GetObject() const { return m_pObject; }
    // Takes ownership of the object; a former object is deleted, once no load
    // thread runs any more (a running load may be adding records to it).
    void SetObject(VeObject* object);

    VeObjNode* ParentNode() const;
    QList<VeObjNode*> ChildNodes() const;

    // The host's way to delete a node: while any load thread runs, the node and
    // its object stay until the last one has finished, since a running load may
    // be adding records to them.
    void RequestDelete();

private:
    VeObject* m_pObject = nullptr;
    bool m_bDeleteRequested = false;
};
