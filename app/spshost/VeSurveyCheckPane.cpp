#include "VeSurveyCheckPane.h"

#include "VeSurveyCheckRunner.h"

#include <QAbstractTableModel>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

// The findings of one result; the result is shared, never copied.
class VeSurveyCheckModel : public QAbstractTableModel
{
public:
    enum Column
    {
        KindColumn,
        FileColumn,
        RowColumn,
        LineColumn,
        PointColumn,
        MessageColumn,
        ColumnCount
    };

    using QAbstractTableModel::QAbstractTableModel;

    void SetResult(std::shared_ptr<const VeSurveyCheckResult> result)
    {
        beginResetModel();
        m_Result = std::move(result);
        endResetModel();
    }
    const std::shared_ptr<const VeSurveyCheckResult>& Result() const { return m_Result; }
    const SPSCheckFinding* Finding(int row) const
    {
        if (!m_Result || row < 0 || size_t(row) >= m_Result->findings.size())
            return nullptr;
        return &m_Result->findings[size_t(row)];
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() || !m_Result ? 0 : int(m_Result->findings.size());
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : ColumnCount;
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        const SPSCheckFinding* f = Finding(index.row());
        if (!f)
            return {};
        if (role == Qt::ToolTipRole)
            return index.column() == FileColumn ? f->file : f->message;
        if (role != Qt::DisplayRole)
            return {};
        switch (index.column()) {
        case KindColumn:
            return SPSCheckFinding::KindName(f->kind);
        case FileColumn:
            return QFileInfo(f->file).fileName();
        case RowColumn:
            // A number, so the column sorts by value; 0 is the file as a whole.
            return f->row > 0 ? QVariant(f->row) : QVariant(QString());
        case LineColumn:
            return f->line;
        case PointColumn:
            return f->point;
        case MessageColumn:
            return f->message;
        }
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return QAbstractTableModel::headerData(section, orientation, role);
        switch (section) {
        case KindColumn:
            return VeSurveyCheckPane::tr("Kind");
        case FileColumn:
            return VeSurveyCheckPane::tr("File");
        case RowColumn:
            return VeSurveyCheckPane::tr("Row");
        case LineColumn:
            return VeSurveyCheckPane::tr("Line");
        case PointColumn:
            return VeSurveyCheckPane::tr("Point");
        case MessageColumn:
            return VeSurveyCheckPane::tr("Message");
        }
        return {};
    }

private:
    std::shared_ptr<const VeSurveyCheckResult> m_Result;
};

VeSurveyCheckPane::VeSurveyCheckPane(QWidget* parent)
    : QWidget(parent), m_pModel(new VeSurveyCheckModel(this)),
      m_pProxy(new QSortFilterProxyModel(this)), m_pView(new QTableView(this)),
      m_pStatus(new QLabel(this)), m_pLoadAgain(new QPushButton(this))
{
    m_pProxy->setSourceModel(m_pModel);
    m_pProxy->setSortRole(Qt::DisplayRole);
    m_pView->setObjectName(QStringLiteral("SurveyCheckTable"));
    m_pView->setModel(m_pProxy);
    m_pView->setSortingEnabled(true);
    m_pView->sortByColumn(-1, Qt::AscendingOrder); // the check's own order until the user sorts
    m_pView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pView->setWordWrap(false);
    m_pView->verticalHeader()->setVisible(false);
    m_pView->verticalHeader()->setDefaultSectionSize(m_pView->fontMetrics().height() + 6);
    m_pView->horizontalHeader()->setStretchLastSection(true);
    m_pView->horizontalHeader()->setHighlightSections(false);
    const int widths[] = {105, 95, 45, 50, 60};
    for (int c = 0; c < int(std::size(widths)); ++c)
        m_pView->setColumnWidth(c, widths[c]);
    m_pStatus->setObjectName(QStringLiteral("SurveyCheckStatus"));
    m_pStatus->setWordWrap(true);

    // Points of several lines merged into one number: one click loads the
    // files again, into a new geometry, with the factor that keeps them apart.
    m_pLoadAgain->setObjectName(QStringLiteral("SurveyCheckLoadAgain"));
    m_pLoadAgain->setToolTip(tr("Loads the checked files again into a new geometry, numbering "
                                "each point line number x line factor + point number."));
    m_pLoadAgain->setVisible(false);
    connect(m_pLoadAgain, &QPushButton::clicked, this, [this]() {
        if (const qint32 factor = SuggestedLineFactor())
            Q_EMIT sigLoadAgainWithLineFactor(factor);
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto* top = new QHBoxLayout;
    top->addWidget(m_pStatus, 1);
    top->addWidget(m_pLoadAgain);
    layout->addLayout(top);
    layout->addWidget(m_pView);

    connect(m_pView->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                Q_EMIT sigFindingSelected(current.isValid() ? m_pProxy->mapToSource(current).row()
                                                            : -1);
            });
    ShowNone();
}

VeSurveyCheckPane::~VeSurveyCheckPane() = default;

void VeSurveyCheckPane::SetTitle(const QString& title)
{
    if (title == m_strTitle)
        return;
    m_strTitle = title;
    Q_EMIT sigTitleChanged(title);
}

void VeSurveyCheckPane::ShowResult(std::shared_ptr<const VeSurveyCheckResult> result)
{
    if (!result) {
        ShowNone();
        return;
    }
    m_pModel->SetResult(result);
    QStringList counts;
    for (int k = 0; k < SPSCheckFinding::KindCount; ++k)
        if (result->counts[size_t(k)] > 0)
            counts << tr("%1 %2")
                          .arg(SPSCheckFinding::KindName(SPSCheckFinding::Kind(k)))
                          .arg(result->counts[size_t(k)]);
    SetTitle(counts.isEmpty() ? tr("Survey check: no findings")
                              : tr("Survey check: %1").arg(counts.join(QLatin1String(", "))));
    m_pStatus->setText(result->ok ? QString()
                                  : tr("The check did not complete: %1").arg(result->error));
    m_pStatus->setVisible(!result->ok);
    const qint32 factor = SuggestedLineFactor();
    m_pLoadAgain->setText(tr("Load again with line factor %1").arg(factor));
    m_pLoadAgain->setVisible(factor != 0 && result->loaded);
}

qint32 VeSurveyCheckPane::SuggestedLineFactor() const
{
    const auto& result = m_pModel->Result();
    if (!result)
        return 0;
    // One factor numbers both files: the one that keeps the lines of each apart.
    qint32 factor = 0;
    for (const SPSCheckFinding& f : result->findings)
        if (f.kind == SPSCheckFinding::SharedNumber)
            factor = qMax(factor, f.lineFactor);
    return factor;
}

void VeSurveyCheckPane::ShowRunning()
{
    m_pModel->SetResult(nullptr);
    m_pLoadAgain->setVisible(false);
    SetTitle(tr("Survey check: checking..."));
    m_pStatus->setText(tr("Checking the files of the last load..."));
    m_pStatus->setVisible(true);
}

void VeSurveyCheckPane::ShowNone()
{
    m_pModel->SetResult(nullptr);
    m_pLoadAgain->setVisible(false);
    SetTitle(tr("Survey check"));
    m_pStatus->setText(tr("Load SPS files into the selected geometry to check them."));
    m_pStatus->setVisible(true);
}

std::shared_ptr<const VeSurveyCheckResult> VeSurveyCheckPane::Result() const
{
    return m_pModel->Result();
}

QString VeSurveyCheckPane::StatusText() const
{
    return m_pStatus->isHidden() ? QString() : m_pStatus->text();
}

const SPSCheckFinding* VeSurveyCheckPane::FindingAtRow(int row) const
{
    return m_pModel->Finding(m_pProxy->mapToSource(m_pProxy->index(row, 0)).row());
}

void VeSurveyCheckPane::SelectFinding(int index)
{
    const QModelIndex at = m_pProxy->mapFromSource(m_pModel->index(index, 0));
    if (!at.isValid())
        return;
    m_pView->selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect |
                                                       QItemSelectionModel::Rows);
    m_pView->scrollTo(at);
}
