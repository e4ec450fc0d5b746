#include "VeSurveyCheckModel.h"

#include "VeSurveyCheckPane.h"
#include "VeSurveyCheckRunner.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <future>
#include <limits>
#include <numeric>

VeSurveyCheckModel::VeSurveyCheckModel(bool grouped, QObject* parent)
    : QAbstractItemModel(parent), m_bGrouped(grouped)
{
}

VeSurveyCheckModel::~VeSurveyCheckModel()
{
    // Each ends with its sort; what it posts here goes with this object.
    for (Ordering& o : m_Orderings)
        o.rows.wait();
}

void VeSurveyCheckModel::SetResult(std::shared_ptr<const VeSurveyCheckResult> result)
{
    beginResetModel();
    m_Result = std::move(result);
    // A file filter names a file of the result shown.
    if (!m_Result || m_nFile >= int(m_Result->findings.Files().size()))
        m_nFile = -1;
    m_Groups.clear();
    if (m_Result && m_bGrouped)
        m_Groups = SPSFindingsWriter::Groups(m_Result->findings);
    Rebuild();
    endResetModel();
}

void VeSurveyCheckModel::SetFilter(int kind, int file)
{
    beginResetModel();
    m_nKind = kind;
    m_nFile = file;
    Rebuild();
    endResetModel();
}

void VeSurveyCheckModel::sort(int column, Qt::SortOrder order)
{
    m_nSortColumn = column;
    m_SortOrder = order;
    OrderRows(false);
}

void VeSurveyCheckModel::OrderRows(bool inReset)
{
    // Whatever is under way orders what is no longer shown.
    ++m_nOrdering;
    size_t total = 0;
    for (const Rows& rows : m_Rows)
        total += rows.size();
    if (!m_Result || total < kOrderAside) {
        if (!inReset)
            beginResetModel();
        if (m_Result)
            for (Rows& rows : m_Rows)
                Order(m_Result->findings, m_nSortColumn, m_SortOrder, rows);
        Reordered();
        if (!inReset)
            endResetModel();
        return;
    }
    Ordering ordering;
    ordering.generation = m_nOrdering;
    ordering.rows = std::async(std::launch::async, [this, result = m_Result, rows = m_Rows,
                                                    column = m_nSortColumn, order = m_SortOrder,
                                                    generation = m_nOrdering]() mutable {
        for (Rows& r : rows)
            Order(result->findings, column, order, r);
        // Carries only the generation: the rows travel through the future.
        QMetaObject::invokeMethod(this, "TakeOrdered", Qt::QueuedConnection,
                                  Q_ARG(quint64, generation));
        return std::move(rows);
    });
    m_Orderings.push_back(std::move(ordering));
}

void VeSurveyCheckModel::Reordered()
{
    // Where each finding stands is found again, and each list starts anew
    // with one batch given out.
    m_bWhereKnown = false;
    for (size_t a = 0; a < m_Rows.size() && a < m_Fetched.size(); ++a)
        m_Fetched[a] = int(qMin(m_Rows[a].size(), size_t(kFetchRows)));
}

void VeSurveyCheckModel::TakeOrdered(quint64 generation)
{
    for (auto it = m_Orderings.begin(); it != m_Orderings.end(); ++it) {
        if (it->generation != generation)
            continue;
        std::vector<Rows> rows = it->rows.get();
        m_Orderings.erase(it);
        if (generation != m_nOrdering || rows.size() != m_Rows.size())
            return;
        beginResetModel();
        m_Rows = std::move(rows);
        Reordered();
        endResetModel();
        return;
    }
}

void VeSurveyCheckModel::Rebuild()
{
    BuildRows();
    // Each list starts with one batch given out.
    m_Fetched.clear();
    for (const Rows& rows : m_Rows)
        m_Fetched.push_back(int(qMin(rows.size(), size_t(kFetchRows))));
    // Built in the check's order.
    if (m_nSortColumn >= 0)
        OrderRows(true);
    else
        ++m_nOrdering;
}

void VeSurveyCheckModel::BuildRows()
{
    m_Rows.clear();
    m_Kinds.clear();
    m_bWhereKnown = false;
    SPSLargeVector<quint64>().swap(m_Where);
    if (!m_Result)
        return;
    const SPSCheckFindingList& list = m_Result->findings;
    const auto shown = [this](const SPSCheckFinding& f) {
        return (m_nKind < 0 || int(f.kind) == m_nKind) && (m_nFile < 0 || int(f.file) == m_nFile);
    };
    if (!m_bGrouped) {
        Rows& rows = m_Rows.emplace_back();
        if (m_nKind < 0 && m_nFile < 0) {
            rows.resize(list.size());
            std::iota(rows.begin(), rows.end(), 0);
        } else {
            for (size_t i = 0; i < list.size(); ++i)
                if (shown(list[i]))
                    rows.push_back(qint32(i));
        }
        // Taken in the check's order, which is the order shown unsorted.
        return;
    }
    // Room for each kind's findings at once: grown by copies, two million
    // indices would hold the window.
    Rows byKind[SPSCheckFinding::KindCount];
    for (int k = 0; k < SPSCheckFinding::KindCount; ++k)
        byKind[k].reserve(size_t(m_Result->counts[size_t(k)]));
    for (size_t i = 0; i < list.size(); ++i)
        if (shown(list[i]))
            byKind[list[i].kind].push_back(qint32(i));
    int worst[SPSCheckFinding::KindCount];
    qsizetype groups[SPSCheckFinding::KindCount] = {};
    std::fill(std::begin(worst), std::end(worst), int(SPSCheckFinding::SeverityCount));
    for (int k = 0; k < SPSCheckFinding::KindCount; ++k) {
        if (byKind[k].empty())
            continue;
        // A finding has its kind's severity; only a revision's may be worse (SeverityOf).
        if (k != SPSCheckFinding::Revision) {
            worst[k] = int(SPSCheckFinding::KindSeverity(SPSCheckFinding::Kind(k)));
            continue;
        }
        for (const qint32 i : byKind[k])
            worst[k] = qMin(worst[k], int(list.SeverityOf(list[size_t(i)])));
    }
    for (const SPSFindingsWriter::Group& g : m_Groups) {
        const SPSCheckFinding& head = list[g.first];
        if (m_nFile < 0 || int(head.file) == m_nFile)
            ++groups[head.kind];
    }
    m_KindWorst.clear();
    m_KindGroups.clear();
    for (int k = 0; k < SPSCheckFinding::KindCount; ++k) {
        if (byKind[k].empty())
            continue;
        m_Kinds.push_back(k);
        m_KindWorst.push_back(worst[k]);
        m_KindGroups.push_back(groups[k]);
        m_Rows.push_back(std::move(byKind[k]));
    }
}

void VeSurveyCheckModel::Order(const SPSCheckFindingList& list, int column, Qt::SortOrder order,
                               Rows& indices)
{
    const bool ascending = order == Qt::AscendingOrder;
    const auto by = [&](auto key) {
        std::stable_sort(indices.begin(), indices.end(), [&](qint32 i, qint32 j) {
            return ascending ? key(i) < key(j) : key(j) < key(i);
        });
    };
    switch (column) {
    case KindColumn:
        // Kinds by name, as they read.
        {
            int rank[SPSCheckFinding::KindCount];
            std::vector<int> kinds(SPSCheckFinding::KindCount);
            for (int k = 0; k < SPSCheckFinding::KindCount; ++k)
                kinds[size_t(k)] = k;
            std::sort(kinds.begin(), kinds.end(), [](int a, int b) {
                return SPSCheckFinding::KindName(SPSCheckFinding::Kind(a)) <
                       SPSCheckFinding::KindName(SPSCheckFinding::Kind(b));
            });
            for (int r = 0; r < SPSCheckFinding::KindCount; ++r)
                rank[kinds[size_t(r)]] = r;
            by([&](qint32 i) { return rank[list[size_t(i)].kind]; });
        }
        break;
    case FileColumn: {
        // Files by the name shown.
        const auto& files = list.Files();
        std::vector<int> order(files.size()), rank(files.size());
        for (size_t f = 0; f < files.size(); ++f)
            order[f] = int(f);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return QFileInfo(files[size_t(a)].path).fileName() <
                   QFileInfo(files[size_t(b)].path).fileName();
        });
        for (size_t r = 0; r < order.size(); ++r)
            rank[size_t(order[r])] = int(r);
        by([&](qint32 i) { return rank[list[size_t(i)].file]; });
        break;
    }
    case RowColumn:
        by([&](qint32 i) { return qint64(list[size_t(i)].row); });
        break;
    case LineColumn: {
        // Lines by their names, compared once per name, not per finding.
        std::vector<qint32> ids(size_t(list.LineCount()));
        for (size_t id = 0; id < ids.size(); ++id)
            ids[id] = qint32(id);
        std::stable_sort(ids.begin(), ids.end(),
                         [&](qint32 a, qint32 b) { return list.LineName(a) < list.LineName(b); });
        std::vector<qint32> rank(ids.size());
        for (size_t r = 0; r < ids.size(); ++r)
            rank[size_t(ids[r])] = qint32(r);
        by([&](qint32 i) {
            const qint32 line = list[size_t(i)].line;
            return line < 0 ? -1 : rank[size_t(line)];
        });
        break;
    }
    case PointColumn: {
        // Numbers by value, before the texts that are none (which keep their order).
        std::vector<double> values(indices.size());
        for (size_t k = 0; k < indices.size(); ++k) {
            double v = 0;
            values[k] = list.PointValue(list[size_t(indices[k])], &v)
                            ? v
                            : std::numeric_limits<double>::infinity();
        }
        std::vector<size_t> positions(indices.size());
        for (size_t k = 0; k < positions.size(); ++k)
            positions[k] = k;
        std::stable_sort(positions.begin(), positions.end(), [&](size_t a, size_t b) {
            return ascending ? values[a] < values[b] : values[b] < values[a];
        });
        Rows sorted(indices.size());
        for (size_t k = 0; k < positions.size(); ++k)
            sorted[k] = indices[positions[k]];
        indices.swap(sorted);
        break;
    }
    case MessageColumn:
        // Messages are made only when shown: by kind, then the check's order.
        by([&](qint32 i) { return int(list[size_t(i)].kind); });
        break;
    default:
        std::sort(indices.begin(), indices.end());
        break;
    }
}

QStringList VeSurveyCheckModel::KindGroupTexts(int kind, int limit) const
{
    const SPSCheckFindingList& list = m_Result->findings;
    QStringList texts;
    for (const SPSFindingsWriter::Group& g : m_Groups) {
        if (texts.size() >= limit)
            break;
        const SPSCheckFinding& head = list[g.first];
        if (int(head.kind) == kind && (m_nFile < 0 || int(head.file) == m_nFile))
            texts << SPSFindingsWriter::GroupText(list, g);
    }
    return texts;
}

int VeSurveyCheckModel::FindingIndex(const QModelIndex& index) const
{
    if (!index.isValid() || index.internalId() == 0)
        return -1;
    const Rows& rows = m_Rows[size_t(index.internalId() - 1)];
    return index.row() < int(rows.size()) ? rows[size_t(index.row())] : -1;
}

const SPSCheckFinding* VeSurveyCheckModel::Finding(const QModelIndex& index) const
{
    const int i = FindingIndex(index);
    return i < 0 ? nullptr : &m_Result->findings[size_t(i)];
}

quint64 VeSurveyCheckModel::WhereOf(int finding) const
{
    if (!m_Result || finding < 0 || size_t(finding) >= m_Result->findings.size())
        return 0;
    if (!m_bWhereKnown) {
        m_Where.assign(m_Result->findings.size(), 0);
        for (size_t a = 0; a < m_Rows.size(); ++a)
            for (size_t r = 0; r < m_Rows[a].size(); ++r)
                m_Where[size_t(m_Rows[a][r])] = ((quint64(a) << 32) | r) + 1;
        m_bWhereKnown = true;
    }
    return m_Where[size_t(finding)];
}

QModelIndex VeSurveyCheckModel::IndexOfFinding(int finding, int column) const
{
    const quint64 where = WhereOf(finding);
    if (where == 0)
        return {};
    const int row = int((where - 1) & 0xffffffffu);
    const size_t array = size_t((where - 1) >> 32);
    if (row >= m_Fetched[array])
        return {};
    return createIndex(row, column, quintptr(array) + 1);
}

void VeSurveyCheckModel::FetchFinding(int finding)
{
    const quint64 where = WhereOf(finding);
    if (where != 0)
        Fetch(int((where - 1) >> 32), int((where - 1) & 0xffffffffu));
}

int VeSurveyCheckModel::ArrayOf(const QModelIndex& parent) const
{
    if (!m_bGrouped)
        return parent.isValid() || m_Rows.empty() ? -1 : 0;
    if (!parent.isValid() || parent.internalId() != 0 || parent.column() != 0 ||
        parent.row() >= int(m_Rows.size()))
        return -1;
    return parent.row();
}

void VeSurveyCheckModel::Fetch(int array, int through)
{
    const int have = m_Fetched[size_t(array)];
    if (through < have)
        return;
    // Whole batches, so that the rows after the one asked for are there too.
    const int size = int(m_Rows[size_t(array)].size());
    const int last = int(qMin(qint64(size), (qint64(through) / kFetchRows + 1) * kFetchRows)) - 1;
    const QModelIndex parent = m_bGrouped ? createIndex(array, 0, quintptr(0)) : QModelIndex();
    beginInsertRows(parent, have, last);
    m_Fetched[size_t(array)] = last + 1;
    endInsertRows();
}

bool VeSurveyCheckModel::canFetchMore(const QModelIndex& parent) const
{
    const int array = ArrayOf(parent);
    return array >= 0 && m_Fetched[size_t(array)] < int(m_Rows[size_t(array)].size());
}

void VeSurveyCheckModel::fetchMore(const QModelIndex& parent)
{
    const int array = ArrayOf(parent);
    if (array >= 0)
        Fetch(array, m_Fetched[size_t(array)]);
}

QModelIndex VeSurveyCheckModel::index(int row, int column, const QModelIndex& parent) const
{
    if (row < 0 || column < 0 || column >= ColumnCount)
        return {};
    if (!m_bGrouped) {
        if (parent.isValid() || m_Rows.empty() || row >= m_Fetched[0])
            return {};
        return createIndex(row, column, quintptr(1));
    }
    if (!parent.isValid())
        return row < int(m_Kinds.size()) ? createIndex(row, column, quintptr(0)) : QModelIndex();
    if (parent.internalId() != 0 || parent.row() >= int(m_Rows.size()) ||
        row >= m_Fetched[size_t(parent.row())])
        return {};
    return createIndex(row, column, quintptr(parent.row()) + 1);
}

QModelIndex VeSurveyCheckModel::parent(const QModelIndex& child) const
{
    if (!m_bGrouped || !child.isValid() || child.internalId() == 0)
        return {};
    return createIndex(int(child.internalId() - 1), 0, quintptr(0));
}

int VeSurveyCheckModel::rowCount(const QModelIndex& parent) const
{
    if (m_bGrouped && !parent.isValid())
        return int(m_Kinds.size());
    const int array = ArrayOf(parent);
    return array < 0 ? 0 : m_Fetched[size_t(array)];
}

int VeSurveyCheckModel::columnCount(const QModelIndex&) const
{
    return ColumnCount;
}

QVariant VeSurveyCheckModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !m_Result)
        return {};
    const SPSCheckFindingList& list = m_Result->findings;
    if (index.internalId() == 0) {
        // A kind: its count, the worst of its findings' severities and its
        // groups, the first of which its tip lists.
        constexpr int kTipGroups = 5;
        const Rows& rows = m_Rows[size_t(index.row())];
        const int kind = m_Kinds[size_t(index.row())];
        if (role == Qt::ToolTipRole) {
            QStringList texts = KindGroupTexts(kind, kTipGroups);
            const qsizetype groups = m_KindGroups[size_t(index.row())];
            if (groups > kTipGroups)
                texts << VeSurveyCheckPane::tr("and %1 more groups").arg(groups - kTipGroups);
            return texts.join(u'\n');
        }
        if (role != Qt::DisplayRole)
            return {};
        switch (index.column()) {
        case KindColumn:
            return VeSurveyCheckPane::tr("%1 (%2)")
                .arg(SPSCheckFinding::KindName(SPSCheckFinding::Kind(kind)))
                .arg(qulonglong(rows.size()));
        case MessageColumn: {
            const int worst = m_KindWorst[size_t(index.row())];
            const qsizetype groups = m_KindGroups[size_t(index.row())];
            return (groups == 1 ? VeSurveyCheckPane::tr("%1, %2 group")
                                : VeSurveyCheckPane::tr("%1, %2 groups"))
                .arg(SPSCheckFinding::SeverityName(SPSCheckFinding::Severity(worst)))
                .arg(groups);
        }
        default:
            return {};
        }
    }
    const SPSCheckFinding* f = Finding(index);
    if (!f)
        return {};
    if (role == Qt::ToolTipRole)
        return index.column() == FileColumn ? list.FilePath(*f) : list.Message(*f);
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case KindColumn:
        return SPSCheckFinding::KindName(f->kind);
    case FileColumn:
        return QFileInfo(list.FilePath(*f)).fileName();
    case RowColumn:
        // 0 is the file as a whole.
        return f->row > 0 ? QVariant(qint64(f->row)) : QVariant(QString());
    case LineColumn:
        return list.Line(*f);
    case PointColumn:
        return list.Point(*f);
    case MessageColumn:
        return list.Message(*f);
    }
    return {};
}

QVariant VeSurveyCheckModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractItemModel::headerData(section, orientation, role);
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
