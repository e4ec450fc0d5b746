#pragma once

#include "SPSCheckNumber.h"
#include "SPSEngineExport.h"
#include "SPSLargeTables.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QChar>
#include <QString>

#include <string>
#include <vector>

// One doubtful thing the survey check found, held small: a survey of a million
// points may give millions of them. Its texts are those of the list that holds
// it (SPSCheckFindingList), and its message is made when it is shown.
struct SPS_ENGINE_EXPORT SPSCheckFinding
{
    enum Kind : quint8
    {
        Revision,                // the revision detection's verdict for a file
        NotANumber,              // a numeric field that is not blank and not a number
        ShortRow,                // a record row ending before the layout's furthest field
        BlankPoint,              // a record row whose point field is blank
        Duplicate,               // the same line, point and index again, same coordinates
        Conflict,                // the same line, point and index again, other coordinates
        SharedNumber,            // a point number that points of several lines share
        Outlier,                 // at (0, 0), or far off its line
        Precision,               // what single precision does to a file's coordinate
        RelationSourceMissing,   // an X row names a source point the S file lacks
        SourceNotRelated,        // an S point no X row names
        RelationReceiverMissing, // a station in an X row's range the R file lacks
        ReceiverNotRelated,      // an R point inside no X row's range
        ChannelOverlap,          // two X rows of one field record with overlapping channels
        RecordReused,            // one tape's record number given to two different shots
        NotARecord,              // a row with the record letter but no number where one belongs
        NumberOverflow,          // a factor takes the point's number out of signed 32 bits
    };
    static constexpr int KindCount = NumberOverflow + 1;

    // How much a finding matters to the one who reads the survey.
    enum Severity : quint8
    {
        Error,   // the load gives wrong points or numbers
        Warning, // doubtful, worth a look
        Note,    // for information
    };
    static constexpr int SeverityCount = Note + 1;

    // "revision", "not-a-number", "short-row", ... as reports name them.
    static QString KindName(Kind kind);
    // The severity of the kind's findings; a revision that the layout in use
    // does not read is an error (SPSCheckFindingList::SeverityOf).
    static Severity KindSeverity(Kind kind);
    // "error", "warning", "note".
    static QString SeverityName(Severity severity);

    static constexpr quint32 kNoText = 0xffffffffu;

    double x = 0; // the point's coordinates as the file holds them, when hasPosition
    double y = 0;
    // The numbers of the kind's message: Duplicate and Conflict: a is the
    // row of the first point; Conflict: b its distance; Outlier far off its
    // line: a the distance, b the line's spacing; BlankPoint: a the number
    // the load gives; ShortRow: a the row's length; SharedNumber: a the line
    // factor that keeps the lines apart, 0 when none does.
    double a = 0;
    union {
        double b = 0;
        // Where the message is kept whole, and RelationSourceMissing: the
        // field record; in the list's texts.
        quint32 text;
    };
    qint32 line = -1; // in the list's line names; -1 when not about a point
    // The point text in the list's texts; when pointSpelled, the code that
    // writes it with pointDecimals decimals (SPSCheckNumber::Spell).
    quint32 point = kNoText;
    // Counted from 1 as an editor shows it; 0 for the file as a whole. 37 bits
    // number more rows than any file holds.
    qint64 row : 37;
    quint64 pointSpelled : 1;
    quint64 pointDecimals : 2;
    Kind kind : 8;
    quint64 file : 3;        // in the list's files
    quint64 hasPosition : 1; // x and y are the point's coordinates
    quint64 index : 7;       // the point index, an ASCII character; 0 when none
    // Outlier: 1 at (0, 0); Revision: 1 when the layout in use does not read it.
    quint64 variant : 2;
    quint64 whole : 1; // the message is kept whole, in text

    SPSCheckFinding()
        : row(0), pointSpelled(0), pointDecimals(0), kind(Revision), file(0), hasPosition(0),
          index(0), variant(0), whole(0)
    {
    }
    // Names the point by the code that writes its text.
    void SpellPoint(SPSCheckNumber code, int decimals)
    {
        point = code.code;
        pointSpelled = 1;
        pointDecimals = quint64(decimals);
    }
};
static_assert(sizeof(SPSCheckFinding) <= 48, "a finding is held in 48 bytes");

// The findings of a check and the texts they share: file paths, line names
// (each once) and point and other texts, end to end. Moved, not copied, to
// whoever shows them.
class SPS_ENGINE_EXPORT SPSCheckFindingList
{
public:
    using Kind = SPSCheckFinding::Kind;

    struct File
    {
        QString path;  // as given
        QChar letter;  // 'S', 'R' or 'X': one path may stand for all three
        QString field; // ShortRow: the layout's furthest field, translated
        qint64 fieldEnd = 0;
    };

    SPSCheckFindingList() = default;
    SPSCheckFindingList(SPSCheckFindingList&&) noexcept = default;
    SPSCheckFindingList& operator=(SPSCheckFindingList&&) noexcept = default;
    SPSCheckFindingList(const SPSCheckFindingList&) = delete;
    SPSCheckFindingList& operator=(const SPSCheckFindingList&) = delete;

    size_t size() const { return m_Items.size(); }
    bool empty() const { return m_Items.empty(); }
    const SPSCheckFinding& operator[](size_t i) const { return m_Items[i]; }
    SPSLargeVector<SPSCheckFinding>::const_iterator begin() const { return m_Items.begin(); }
    SPSLargeVector<SPSCheckFinding>::const_iterator end() const { return m_Items.end(); }
    const SPSLargeVector<SPSCheckFinding>& Items() const { return m_Items; }
    SPSLargeVector<SPSCheckFinding>& Items() { return m_Items; }
    void clear();

    // The texts of a finding of this list.
    QString Message(const SPSCheckFinding& f) const;
    // Makes the messages of many findings as UTF-8, as Message gives them,
    // looking the translated texts up once and making no temporaries for the
    // kinds that come by the million.
    class SPS_ENGINE_EXPORT MessageWriter
    {
    public:
        explicit MessageWriter(const SPSCheckFindingList& list);
        // Appends the message of f, a finding of the list.
        void Append(const SPSCheckFinding& f, std::string& to);

    private:
        const SPSCheckFindingList& m_List;
        QByteArray
            m_Fixed[SPSCheckFinding::KindCount]; // of kinds whose message is the kind's alone
        // RelationSourceMissing's text around its three places, when it has
        // just those; empty otherwise.
        std::vector<QByteArray> m_SourceMissing;
        std::vector<QByteArray> m_LineNames; // UTF-8, made when first needed
        std::vector<bool> m_LineMade;
    };
    const QString& FilePath(const SPSCheckFinding& f) const { return m_Files[f.file].path; }
    QChar Letter(const SPSCheckFinding& f) const { return m_Files[f.file].letter; }
    QString Line(const SPSCheckFinding& f) const;
    QString Point(const SPSCheckFinding& f) const;
    // The point text as UTF-8, in the list's texts or spelled into room;
    // empty when the finding names none.
    QByteArrayView PointBytes(const SPSCheckFinding& f, SPSCheckNumber::Spelling& room) const;
    QString Index(const SPSCheckFinding& f) const;
    // SharedNumber: the line factor that keeps the lines apart; 0 otherwise.
    qint32 LineFactor(const SPSCheckFinding& f) const;
    SPSCheckFinding::Severity SeverityOf(const SPSCheckFinding& f) const;
    // The point text as a number; false when it is none.
    bool PointValue(const SPSCheckFinding& f, double* value) const;

    // Building the list: a file, then its findings.
    int AddFile(const File& file);
    const std::vector<File>& Files() const { return m_Files; }
    std::vector<File>& Files() { return m_Files; }
    qint32 AddLine(const QString& name);
    const QString& LineName(qint32 id) const { return m_LineNames[size_t(id)]; }
    qint32 LineCount() const { return qint32(m_LineNames.size()); }
    quint32 AddText(QStringView text);
    quint32 AddText(const char* utf8, qsizetype size);
    // Room for texts of that many bytes in all more: a table of millions grown
    // by copies would be held twice meanwhile. Room never used costs no memory.
    void ReserveTexts(size_t bytes) { m_Texts.reserve(m_Texts.size() + bytes); }
    QString Text(quint32 at) const;
    // The same as UTF-8, valid while the list is unchanged; empty for kNoText.
    QByteArrayView TextBytes(quint32 at) const;
    // A finding whose message is kept whole, with the line and point named.
    SPSCheckFinding& Add(int file, qint64 row, Kind kind, const QString& message,
                         const QString& line = QString(), const QString& point = QString(),
                         const QString& index = QString());
    // Moves in the files, line names and texts of parts, not its findings;
    // what they name then stands that much further on (Rebased). Gives the
    // texts' new start.
    quint32 AppendParts(SPSCheckFindingList&& parts);
    static SPSCheckFinding Rebased(SPSCheckFinding f, int fileBase, qint32 lineBase,
                                   quint32 textBase);

private:
    SPSLargeVector<SPSCheckFinding> m_Items;
    std::vector<File> m_Files;
    std::vector<QString> m_LineNames;
    SPSLargeVector<char> m_Texts; // each a 32-bit length, then UTF-8
};
