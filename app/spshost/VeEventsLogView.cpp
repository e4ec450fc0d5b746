#include "VeEventsLogView.h"

#include "VeEventsLog.h"

#include <QHeaderView>
#include <QStyle>

VeEventsLogView::VeEventsLogView(QWidget* parent) : QTreeWidget(parent)
{
    setHeaderLabels({tr("Time"), tr("Type"), tr("Text")});
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    header()->setStretchLastSection(true);
    // The entry in the signal is not used: the log is read from where this view
    // stopped, so an entry written while the view was being built is neither
    // lost nor shown twice.
    connect(VeEventsLog::Instance(), &VeEventsLog::sigNewEntry, this, &VeEventsLogView::Sync,
            Qt::QueuedConnection);
    Sync();
}

VeEventsLogView::~VeEventsLogView() = default;

QString VeEventsLogView::TypeText(int type)
{
    switch (type) {
    case VeEventsLog::EventsLogInformation:
        return tr("Information");
    case VeEventsLog::EventsLogWarning:
        return tr("Warning");
    case VeEventsLog::EventsLogError:
        return tr("Error");
    default:
        return tr("Type %1").arg(type);
    }
}

void VeEventsLogView::Sync()
{
    const QList<VeEventsLogEntry> entries = VeEventsLog::Instance()->Entries();
    // The log was cleared since: show it afresh.
    if (entries.size() < m_nShown) {
        clear();
        m_nShown = 0;
    }
    if (entries.size() == m_nShown)
        return;
    QList<QTreeWidgetItem*> items;
    for (qsizetype i = m_nShown; i < entries.size(); ++i) {
        const VeEventsLogEntry& e = entries.at(i);
        auto* item = new QTreeWidgetItem(
            {e.time.toString(QStringLiteral("hh:mm:ss")), TypeText(e.type), e.text});
        item->setToolTip(0, e.time.toString(Qt::ISODateWithMs));
        item->setToolTip(2, e.text);
        QStyle::StandardPixmap icon = QStyle::SP_MessageBoxInformation;
        if (e.type == VeEventsLog::EventsLogWarning)
            icon = QStyle::SP_MessageBoxWarning;
        else if (e.type == VeEventsLog::EventsLogError)
            icon = QStyle::SP_MessageBoxCritical;
        item->setIcon(1, style()->standardIcon(icon));
        items.append(item);
    }
    m_nShown = int(entries.size());
    addTopLevelItems(items);
    scrollToBottom();
}
