#include "VeObjTreeWidget.h"

#include "VeHostUi.h"
#include "VeObjNode.h"
#include "VeObject.h"
#include "VePrevStackSegyGeometry.h"
#include "VeRuntimeClass.h"

#include <QHeaderView>

namespace {
enum EColumn
{
    ColumnName,
    ColumnClass,
    ColumnRecords
};
}

VeObjTreeWidget::VeObjTreeWidget(QWidget* parent) : QTreeWidget(parent), m_pRoot(new VeObjNode)
{
    setHeaderLabels({tr("Name"), tr("Class"), tr("Records")});
    setSelectionMode(QAbstractItemView::SingleSelection);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setUniformRowHeights(true);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    QTreeWidgetItem* rootItem = AddItem(m_pRoot, nullptr);
    rootItem->setExpanded(true);
    connect(this, &QTreeWidget::itemSelectionChanged, this,
            [this]() { Q_EMIT sigSelectedNodeChanged(SelectedNode()); });
}

VeObjTreeWidget::~VeObjTreeWidget()
{
    // The nodes go with the tree; their items go with the widget, not one by one.
    for (VeObjNode* node : Nodes())
        disconnect(node, nullptr, this, nullptr);
    m_Items.clear();
    m_Nodes.clear();
    delete m_pRoot;
}

VeObjNode* VeObjTreeWidget::AddObject(VeObject* object, VeObjNode* parentNode)
{
    if (!parentNode || !m_Items.contains(parentNode))
        parentNode = m_pRoot;
    auto* node = new VeObjNode(object, parentNode);
    QTreeWidgetItem* parentItem = m_Items.value(parentNode);
    AddItem(node, parentItem);
    parentItem->setExpanded(true);
    if (auto* geometry = qobject_cast<VePrevStackSegyGeometry*>(object))
        connect(geometry, &VePrevStackSegyGeometry::sigRecordsAdded, this,
                [this, node]() { UpdateNode(node); });
    return node;
}

QTreeWidgetItem* VeObjTreeWidget::AddItem(VeObjNode* node, QTreeWidgetItem* parentItem)
{
    auto* item = parentItem ? new QTreeWidgetItem(parentItem) : new QTreeWidgetItem(this);
    m_Items.insert(node, item);
    m_Nodes.insert(item, node);
    connect(node, &QObject::destroyed, this, [this, node]() {
        QTreeWidgetItem* gone = m_Items.value(node);
        if (!gone)
            return;
        ForgetItem(gone);
        delete gone;
    });
    UpdateNode(node);
    return item;
}

void VeObjTreeWidget::ForgetItem(QTreeWidgetItem* item)
{
    // The children's items go with this one, before their nodes report going.
    for (int i = 0; i < item->childCount(); ++i)
        ForgetItem(item->child(i));
    if (VeObjNode* node = m_Nodes.take(item))
        m_Items.remove(node);
}

void VeObjTreeWidget::UpdateNode(VeObjNode* node)
{
    QTreeWidgetItem* item = m_Items.value(node);
    if (!item)
        return;
    VeObject* object = node->GetObject();
    if (!object) {
        item->setText(ColumnName, node == m_pRoot ? tr("Survey") : tr("(empty)"));
        item->setIcon(ColumnName, GetPngIcon("orka_folder"));
        return;
    }
    const QString className = QString::fromLatin1(object->GetRuntimeClass()->m_lpszClassName);
    item->setText(ColumnName, object->GetName().isEmpty() ? className : object->GetName());
    item->setText(ColumnClass, className);
    if (auto* geometry = qobject_cast<VePrevStackSegyGeometry*>(object)) {
        item->setIcon(ColumnName, GetPngIcon("orka_geometry"));
        item->setText(
            ColumnRecords,
            tr("%1 shots, %2 receivers").arg(geometry->ShotCount()).arg(geometry->ReceiverCount()));
    }
}

void VeObjTreeWidget::MarkDeleting(VeObjNode* node)
{
    if (QTreeWidgetItem* item = m_Items.value(node)) {
        item->setDisabled(true);
        item->setToolTip(ColumnName, tr("Deleted when the running loads have finished"));
    }
}

VeObjNode* VeObjTreeWidget::NodeOf(const QTreeWidgetItem* item) const
{
    return m_Nodes.value(item);
}

VeObjNode* VeObjTreeWidget::NodeAt(const QPoint& viewportPos) const
{
    return NodeOf(itemAt(viewportPos));
}

VeObjNode* VeObjTreeWidget::SelectedNode() const
{
    const QList<QTreeWidgetItem*> items = selectedItems();
    return items.isEmpty() ? nullptr : NodeOf(items.first());
}

qint64 VeObjTreeWidget::GeometryID(const VeObjNode* node)
{
    VeObject* object = node ? node->GetObject() : nullptr;
    return qobject_cast<VePrevStackSegyGeometry*>(object) ? object->GetID() : 0;
}

void VeObjTreeWidget::SelectNode(VeObjNode* node)
{
    QTreeWidgetItem* item = m_Items.value(node);
    if (!item) {
        clearSelection();
        return;
    }
    setCurrentItem(item);
    item->setSelected(true);
    scrollToItem(item);
}

QList<VeObjNode*> VeObjTreeWidget::Nodes() const
{
    QList<VeObjNode*> nodes;
    QList<VeObjNode*> pending{m_pRoot};
    while (!pending.isEmpty()) {
        VeObjNode* node = pending.takeFirst();
        nodes.append(node);
        pending = node->ChildNodes() + pending;
    }
    return nodes;
}
