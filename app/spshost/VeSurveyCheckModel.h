#pragma once

#include "SPSFindingsWriter.h"
#include "SPSLargeTables.h"

#include <QAbstractItemModel>

#include <future>
#include <memory>
#include <vector>

struct SPSCheckFinding;
struct VeSurveyCheckResult;

// The findings of one result, shared and never copied, as a flat table or as
// a tree of kinds (each with its count and severity) with their findings
// beneath. Filtering and sorting order an array of the findings' indices, so
// millions of findings open at once and texts are made only for rows shown.
class VeSurveyCheckModel : public QAbstractItemModel
{
    Q_OBJECT
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

    explicit VeSurveyCheckModel(bool grouped, QObject* parent = nullptr);
    ~VeSurveyCheckModel() override;

    void SetResult(std::shared_ptr<const VeSurveyCheckResult> result);
    const std::shared_ptr<const VeSurveyCheckResult>& Result() const { return m_Result; }
    bool Grouped() const { return m_bGrouped; }
    // Only findings of this kind (-1: all) and this file (-1: all; an index in
    // the result's files).
    void SetFilter(int kind, int file);
    int KindFilter() const { return m_nKind; }
    int FileFilter() const { return m_nFile; }

    // The index in the result of the finding at index; -1 for a kind's row or none.
    int FindingIndex(const QModelIndex& index) const;
    // Where the finding with this index in the result stands; invalid when
    // filtered out or not yet fetched (FetchFinding fetches it).
    QModelIndex IndexOfFinding(int finding, int column = 0) const;
    // Fetches the rows up to the finding's, so that it has an index.
    void FetchFinding(int finding);
    const SPSCheckFinding* Finding(const QModelIndex& index) const;

    QModelIndex index(int row, int column,
                      const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Orders the index array; -1: the check's own order. Many rows are
    // ordered on a thread of their own, the views keeping the former order
    // until the new one is there (IsOrdering).
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    bool IsOrdering() const { return !m_Orderings.empty(); }
    // Rows from which sorting leaves the UI thread: 2 x 10^6 of them took it
    // some 300 ms.
    static constexpr size_t kOrderAside = 250000;
    // The rows of a list are given to the views a batch at a time: a view
    // keeps a section per row it is given, and millions of them would hold
    // the window for a tenth of a second at each reset.
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    static constexpr int kFetchRows = 50000;

private:
    void Rebuild();
    void BuildRows();
    using Rows = SPSLargeVector<qint32>;
    static void Order(const SPSCheckFindingList& list, int column, Qt::SortOrder order,
                      Rows& indices);
    // Orders the arrays as sorted: at once, or aside when they are many.
    void OrderRows(bool inReset);
    Q_INVOKABLE void TakeOrdered(quint64 generation);
    void Reordered();
    // The array of the rows under parent, or -1.
    int ArrayOf(const QModelIndex& parent) const;
    void Fetch(int array, int through);
    // Where each finding stands: (array << 32 | row) + 1; 0 when filtered out.
    quint64 WhereOf(int finding) const;
    // The texts of the first groups of the kind shown, up to limit of them.
    QStringList KindGroupTexts(int kind, int limit) const;

    const bool m_bGrouped;
    std::shared_ptr<const VeSurveyCheckResult> m_Result;
    int m_nKind = -1;
    int m_nFile = -1;
    int m_nSortColumn = -1;
    Qt::SortOrder m_SortOrder = Qt::AscendingOrder;
    // Flat: one array; grouped: one per kind shown, with the kinds in m_Kinds.
    std::vector<Rows> m_Rows;
    // How many rows of each array the views have been given.
    std::vector<int> m_Fetched;
    std::vector<int> m_Kinds;
    // Grouped: the runs of findings of one file, kind and line whose points
    // step evenly, as spsload --check groups them.
    std::vector<SPSFindingsWriter::Group> m_Groups;
    // By the row of each kind shown: the worst severity of its findings and
    // its number of groups.
    std::vector<int> m_KindWorst;
    std::vector<qsizetype> m_KindGroups;
    mutable SPSLargeVector<quint64> m_Where;
    mutable bool m_bWhereKnown = false;
    // Orderings under way aside, and the one whose order is wanted.
    struct Ordering
    {
        quint64 generation = 0;
        std::future<std::vector<Rows>> rows;
    };
    std::vector<Ordering> m_Orderings;
    quint64 m_nOrdering = 0;
};
