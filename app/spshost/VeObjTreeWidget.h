#pragma once

#include <QHash>
#include <QTreeWidget>

class VeObjNode;
class VeObject;

// The host's object tree: a survey root node that holds no object and, under it,
// a node for each object. The widget owns the nodes; each node owns its object.
// An item goes away when its node is destroyed, however that came about.
class VeObjTreeWidget : public QTreeWidget
{
    Q_OBJECT
public:
    explicit VeObjTreeWidget(QWidget* parent = nullptr);
    ~VeObjTreeWidget() override;

    VeObjNode* RootNode() const { return m_pRoot; }
    // Hangs a new node holding the object under the parent (the root when null)
    // and takes the object over.
    VeObjNode* AddObject(VeObject* object, VeObjNode* parentNode = nullptr);

    VeObjNode* NodeOf(const QTreeWidgetItem* item) const;
    QTreeWidgetItem* ItemOf(const VeObjNode* node) const { return m_Items.value(node); }
    // The node under a point of the viewport; null on an empty spot.
    VeObjNode* NodeAt(const QPoint& viewportPos) const;
    VeObjNode* SelectedNode() const;
    void SelectNode(VeObjNode* node);
    // The id of the pre-stack geometry the node holds; 0 for none (or no node).
    static qint64 GeometryID(const VeObjNode* node);
    // Every node, the root first, parents before children.
    QList<VeObjNode*> Nodes() const;

    // Shows the node as on its way out until it is destroyed.
    void MarkDeleting(VeObjNode* node);
    // Brings the node's texts up to date with its object.
    void UpdateNode(VeObjNode* node);

Q_SIGNALS:
    void sigSelectedNodeChanged(VeObjNode* node);

private:
    QTreeWidgetItem* AddItem(VeObjNode* node, QTreeWidgetItem* parentItem);
    void ForgetItem(QTreeWidgetItem* item);

    VeObjNode* m_pRoot = nullptr;
    QHash<const VeObjNode*, QTreeWidgetItem*> m_Items;
    QHash<const QTreeWidgetItem*, VeObjNode*> m_Nodes;
};
