#include "VeSurveyCheckPane.h"

#include "VeSurveyCheckModel.h"
#include "VeSurveyCheckRunner.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableView>
#include <QTreeView>
#include <QVBoxLayout>

VeSurveyCheckPane::VeSurveyCheckPane(QWidget* parent)
    : QWidget(parent), m_pModel(new VeSurveyCheckModel(false, this)),
      m_pTreeModel(new VeSurveyCheckModel(true, this)), m_pView(new QTableView(this)),
      m_pTree(new QTreeView(this)), m_pViews(new QStackedWidget(this)),
      m_pGroup(new QCheckBox(tr("Group by kind"), this)), m_pKindFilter(new QComboBox(this)),
      m_pFileFilter(new QComboBox(this)), m_pStatus(new QLabel(this)),
      m_pLoadAgain(new QPushButton(this))
{
    m_pView->setObjectName(QStringLiteral("SurveyCheckTable"));
    m_pView->setModel(m_pModel);
    m_pView->setSortingEnabled(true);
    m_pView->sortByColumn(-1, Qt::AscendingOrder); // the check's own order until the user sorts
    m_pView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pView->setWordWrap(false);
    m_pView->verticalHeader()->setVisible(false);
    // Fixed heights: millions of rows are laid out without asking each.
    m_pView->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_pView->verticalHeader()->setDefaultSectionSize(m_pView->fontMetrics().height() + 6);
    m_pView->horizontalHeader()->setStretchLastSection(true);
    m_pView->horizontalHeader()->setHighlightSections(false);
    const int widths[] = {105, 95, 45, 50, 60};
    for (int c = 0; c < int(std::size(widths)); ++c)
        m_pView->setColumnWidth(c, widths[c]);

    m_pTree->setObjectName(QStringLiteral("SurveyCheckTree"));
    m_pTree->setModel(m_pTreeModel);
    m_pTree->setUniformRowHeights(true);
    m_pTree->setSortingEnabled(true);
    m_pTree->sortByColumn(-1, Qt::AscendingOrder);
    m_pTree->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pTree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTree->setWordWrap(false);
    m_pTree->header()->setStretchLastSection(true);
    m_pTree->setColumnWidth(0, 190);
    for (int c = 1; c < int(std::size(widths)); ++c)
        m_pTree->setColumnWidth(c, widths[c]);
    m_pViews->addWidget(m_pView);
    m_pViews->addWidget(m_pTree);

    m_pGroup->setObjectName(QStringLiteral("SurveyCheckGroup"));
    m_pKindFilter->setObjectName(QStringLiteral("SurveyCheckKindFilter"));
    m_pFileFilter->setObjectName(QStringLiteral("SurveyCheckFileFilter"));
    m_pKindFilter->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_pFileFilter->setSizeAdjustPolicy(QComboBox::AdjustToContents);
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
    auto* filters = new QHBoxLayout;
    filters->addWidget(m_pGroup);
    filters->addWidget(m_pKindFilter);
    filters->addWidget(m_pFileFilter);
    filters->addStretch(1);
    layout->addLayout(filters);
    layout->addWidget(m_pViews);

    connect(m_pView->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { OnCurrentChanged(m_pModel, current); });
    connect(m_pTree->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { OnCurrentChanged(m_pTreeModel, current); });
    connect(m_pGroup, &QCheckBox::toggled, this, &VeSurveyCheckPane::SetGroupedByKind);
    connect(m_pKindFilter, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &VeSurveyCheckPane::ApplyFilters);
    connect(m_pFileFilter, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &VeSurveyCheckPane::ApplyFilters);
    ShowNone();
}

VeSurveyCheckPane::~VeSurveyCheckPane() = default;

void VeSurveyCheckPane::OnCurrentChanged(const VeSurveyCheckModel* model,
                                         const QModelIndex& current)
{
    // Only the view shown speaks: the other one's model is reset with it.
    if ((model == m_pTreeModel) != GroupedByKind())
        return;
    Q_EMIT sigFindingSelected(model->FindingIndex(current));
}

void VeSurveyCheckPane::SetGroupedByKind(bool grouped)
{
    if (m_pGroup->isChecked() != grouped)
        m_pGroup->setChecked(grouped); // comes back here
    if (GroupedByKind() == grouped && m_pViews->currentIndex() == (grouped ? 1 : 0))
        return;
    // The finding chosen stays chosen.
    const QAbstractItemView* from = grouped ? static_cast<QAbstractItemView*>(m_pView) : m_pTree;
    const VeSurveyCheckModel* fromModel = grouped ? m_pModel : m_pTreeModel;
    const int chosen = fromModel->FindingIndex(from->currentIndex());
    // The tree is built once, with the table's filter.
    m_pTreeModel->SetResult(nullptr);
    m_pTreeModel->SetFilter(m_pModel->KindFilter(), m_pModel->FileFilter());
    if (grouped)
        m_pTreeModel->SetResult(m_pModel->Result());
    m_pViews->setCurrentIndex(grouped ? 1 : 0);
    if (chosen >= 0)
        SelectFinding(chosen);
}

bool VeSurveyCheckPane::GroupedByKind() const
{
    return m_pGroup->isChecked();
}

void VeSurveyCheckPane::SetTitle(const QString& title)
{
    if (title == m_strTitle)
        return;
    m_strTitle = title;
    Q_EMIT sigTitleChanged(title);
}

void VeSurveyCheckPane::SetModelsResult(std::shared_ptr<const VeSurveyCheckResult> result)
{
    // The tree's groups cost a pass over every finding: made only for a tree shown.
    m_pModel->SetResult(result);
    m_pTreeModel->SetResult(GroupedByKind() ? std::move(result) : nullptr);
    FillFilters();
}

void VeSurveyCheckPane::FillFilters()
{
    // The kinds and files the result holds, each with its count.
    m_bFilling = true;
    const auto& result = m_pModel->Result();
    const int kind = m_pModel->KindFilter();
    const int file = m_pModel->FileFilter();
    m_pKindFilter->clear();
    m_pFileFilter->clear();
    m_pKindFilter->addItem(tr("All kinds"), -1);
    m_pFileFilter->addItem(tr("All files"), -1);
    if (result) {
        for (int k = 0; k < SPSCheckFinding::KindCount; ++k)
            if (result->counts[size_t(k)] > 0)
                m_pKindFilter->addItem(tr("%1 (%2)")
                                           .arg(SPSCheckFinding::KindName(SPSCheckFinding::Kind(k)))
                                           .arg(result->counts[size_t(k)]),
                                       k);
        const auto& files = result->findings.Files();
        const std::vector<qsizetype>& counts = result->fileCounts;
        for (size_t i = 0; i < files.size() && i < counts.size(); ++i)
            if (counts[i] > 0)
                m_pFileFilter->addItem(tr("%1 (%2, %3)")
                                           .arg(QFileInfo(files[i].path).fileName())
                                           .arg(files[i].letter)
                                           .arg(counts[i]),
                                       int(i));
    }
    m_pKindFilter->setCurrentIndex(qMax(0, m_pKindFilter->findData(kind)));
    m_pFileFilter->setCurrentIndex(qMax(0, m_pFileFilter->findData(file)));
    m_pKindFilter->setEnabled(result != nullptr);
    m_pFileFilter->setEnabled(result != nullptr);
    m_bFilling = false;
    ApplyFilters();
}

void VeSurveyCheckPane::ApplyFilters()
{
    if (m_bFilling)
        return;
    const int kind =
        m_pKindFilter->currentData().isValid() ? m_pKindFilter->currentData().toInt() : -1;
    const int file =
        m_pFileFilter->currentData().isValid() ? m_pFileFilter->currentData().toInt() : -1;
    if (kind == m_pModel->KindFilter() && file == m_pModel->FileFilter())
        return;
    m_pModel->SetFilter(kind, file);
    m_pTreeModel->SetFilter(kind, file);
}

void VeSurveyCheckPane::ShowResult(std::shared_ptr<const VeSurveyCheckResult> result)
{
    if (!result) {
        ShowNone();
        return;
    }
    SetModelsResult(result);
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
    return result->lineFactor;
}

void VeSurveyCheckPane::ShowRunning()
{
    SetModelsResult(nullptr);
    m_pLoadAgain->setVisible(false);
    SetTitle(tr("Survey check: checking..."));
    m_pStatus->setText(tr("Checking the files of the last load..."));
    m_pStatus->setVisible(true);
}

void VeSurveyCheckPane::ShowNone()
{
    SetModelsResult(nullptr);
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
    return m_pModel->Finding(m_pModel->index(row, 0));
}

void VeSurveyCheckPane::SelectFinding(int index)
{
    const bool grouped = GroupedByKind();
    VeSurveyCheckModel* model = grouped ? m_pTreeModel : m_pModel;
    QAbstractItemView* view = grouped ? static_cast<QAbstractItemView*>(m_pTree) : m_pView;
    model->FetchFinding(index);
    const QModelIndex at = model->IndexOfFinding(index);
    if (!at.isValid())
        return;
    if (grouped)
        m_pTree->expand(at.parent());
    view->selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect |
                                                    QItemSelectionModel::Rows);
    view->scrollTo(at);
}
