#pragma once

#include "SPSCheckTables.h"
#include "SPSLayout.h"
#include "SPSNumberingSettings.h"
#include "SPSRowObserver.h"

#include <QByteArray>

#include <QChar>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class QFile;
class VeTaskSPSFilesLoaderParam;

// The survey check's reading: the rows of a file into its table, in the columns
// of the layout table, with the findings about single rows. Inside the check
// layer only.
namespace SPSCheckReading {

// Called every so many rows with how far into the file the reading is, in
// bytes; may be empty.
using Progress = std::function<void(qint64 position)>;

// A field of the row as the layout places it, and its name in messages.
struct Named
{
    SPSLayout::Span span;
    const char* name;
};

class LineCache;

// The S or R rows (letter 'S' or 'R') into the table, one at a time, as a
// reading hands them over: the check's own (ReadPoints) or the load's. The
// rows must come from a reader made with the file's header rule, cut no
// shorter than RowLimit.
class PointRows : public SPSRowObserver
{
public:
    PointRows(const VeTaskSPSFilesLoaderParam& param, QChar letter,
              const SPSNumberingSettings& numbering, SPSCheckPointTable& table,
              SPSCheckFindings& findings);
    ~PointRows() override;

    qint64 RowLimit() const override;
    void Begin(qint64 fileSize) override;
    void Row(const SPSRowReader& reader) override { Take(reader, nullptr); }
    void RowAsLoaded(const SPSRowReader& reader, const SPSLoadedRow& loaded) override
    {
        Take(reader, &loaded);
    }
    // Whether a reading has begun to hand rows over.
    bool Begun() const { return m_bBegun; }

private:
    // The row; loaded: what the load made of its fields, or null.
    void Take(const SPSRowReader& reader, const SPSLoadedRow* loaded);

    SPSCheckPointTable& m_Table;
    SPSCheckFindings& m_Findings;
    std::unique_ptr<LineCache> m_pLineCache;
    SPSLayout::File m_Kind = SPSLayout::File::Source;
    SPSLayout::Span m_LineSpan, m_PointSpan, m_XSpan, m_YSpan;
    std::vector<Named> m_Numeric;
    // Where the load hands over each of them.
    std::vector<SPSLoadedNumber SPSLoadedRow::*> m_NumericLoaded;
    qint32 m_nIndexColumn = -1;
    qint32 m_nFactor = 0;
    qint32 m_nLineFactor = 0;
    qint64 m_nFurthestEnd = 0;
    const char* m_pFurthestName = "";
    QByteArray m_Utf8[7];
    bool m_bBegun = false;
};

// The S or R rows (letter 'S' or 'R') into the table, numbered as the load
// numbers them. Findings: NotARecord, BlankPoint, NotANumber, ShortRow and
// NumberOverflow. False when stop was set or the file could not be read to
// its end.
bool ReadPoints(QFile& file, const VeTaskSPSFilesLoaderParam& param, QChar letter,
                const SPSNumberingSettings& numbering, SPSCheckPointTable& table,
                SPSCheckFindings& findings, const std::atomic<bool>& stop,
                const Progress& progress = {});

// The X rows into the table: those that name their points as numbers. Its
// lines start as the source table's, then the receiver table's, so that a line
// keeps the name its point file gives it. Findings: NotARecord, NotANumber and
// ShortRow. Every record row is shown to also (when given) as well. False when
// stop was set or the file could not be read to its end.
bool ReadRelations(QFile& file, const VeTaskSPSFilesLoaderParam& param,
                   const SPSCheckPointTable& sources, const SPSCheckPointTable& receivers,
                   SPSCheckRelationTable& table, SPSCheckFindings& findings,
                   const std::atomic<bool>& stop, const Progress& progress = {},
                   SPSRowObserver* also = nullptr);

} // namespace SPSCheckReading
