#include "SPSCheckFinding.h"

#include "SPSCheckWording.h"

#include <algorithm>
#include <cmath>
#include <cstring>

QString SPSCheckFinding::KindName(Kind kind)
{
    static const char* const names[KindCount] = {"revision",
                                                 "not-a-number",
                                                 "short-row",
                                                 "blank-point",
                                                 "duplicate",
                                                 "conflict",
                                                 "shared-number",
                                                 "outlier",
                                                 "precision",
                                                 "relation-source-missing",
                                                 "source-not-related",
                                                 "relation-receiver-missing",
                                                 "receiver-not-related",
                                                 "channel-overlap",
                                                 "record-reused",
                                                 "not-a-record",
                                                 "number-overflow"};
    return QString::fromLatin1(names[kind]);
}

SPSCheckFinding::Severity SPSCheckFinding::KindSeverity(Kind kind)
{
    switch (kind) {
    case NotANumber:
    case BlankPoint:
    case Conflict:
    case NumberOverflow:
    case RelationSourceMissing:
    case ChannelOverlap:
    case RecordReused:
        return Error;
    case ShortRow:
    case Duplicate:
    case Outlier:
    case SourceNotRelated:
    case RelationReceiverMissing:
    case ReceiverNotRelated:
    case NotARecord:
        return Warning;
    case Revision:
    case Precision:
    case SharedNumber:
        break;
    }
    return Note;
}

QString SPSCheckFinding::SeverityName(Severity severity)
{
    switch (severity) {
    case Error:
        return QStringLiteral("error");
    case Warning:
        return QStringLiteral("warning");
    case Note:
        break;
    }
    return QStringLiteral("note");
}

namespace {
const char* const kShortRowText =
    QT_TRANSLATE_NOOP("SPSSurveyCheck", "the row ends at column %1, before the end of the %2 field "
                                        "(column %3)");
const char* const kSourceMissingText = QT_TRANSLATE_NOOP(
    "SPSSurveyCheck", "field record %1 names source line %2 point %3, which the S file lacks");

// Whether the finding's text slot names a text rather than holding b.
bool holdsText(const SPSCheckFinding& f)
{
    return f.whole || f.kind == SPSCheckFinding::RelationSourceMissing;
}
} // namespace

void SPSCheckFindingList::clear()
{
    SPSLargeVector<SPSCheckFinding>().swap(m_Items);
    m_Files.clear();
    std::vector<QString>().swap(m_LineNames);
    SPSLargeVector<char>().swap(m_Texts);
}

QString SPSCheckFindingList::Message(const SPSCheckFinding& f) const
{
    if (f.whole)
        return Text(f.text);
    switch (f.kind) {
    case SPSCheckFinding::Duplicate:
        return QCoreApplication::translate("SPSSurveyCheck",
                                           "the same point as row %1, with the same coordinates")
            .arg(qint64(f.a));
    case SPSCheckFinding::Conflict:
        return QCoreApplication::translate("SPSSurveyCheck",
                                           "the same point as row %1, %2 away from it")
            .arg(qint64(f.a))
            .arg(SPSCheckNumberText(f.b));
    case SPSCheckFinding::Outlier:
        if (f.variant == 1)
            return QCoreApplication::translate("SPSSurveyCheck", "the point is at (0, 0)");
        return QCoreApplication::translate(
                   "SPSSurveyCheck",
                   "%1 from its neighbours along line %2, whose points lie %3 apart")
            .arg(SPSCheckNumberText(f.a), Line(f), SPSCheckNumberText(f.b));
    case SPSCheckFinding::BlankPoint:
        return QCoreApplication::translate(
                   "SPSSurveyCheck", "the point field is blank; the load numbers the point %1")
            .arg(qint64(f.a));
    case SPSCheckFinding::ShortRow: {
        const File& file = m_Files[f.file];
        return SPSCheckTranslated(kShortRowText)
            .arg(qint64(f.a))
            .arg(file.field)
            .arg(file.fieldEnd);
    }
    case SPSCheckFinding::RelationSourceMissing:
        return SPSCheckTranslated(kSourceMissingText).arg(Text(f.text), Line(f), Point(f));
    case SPSCheckFinding::SourceNotRelated:
        return QCoreApplication::translate("SPSSurveyCheck", "no X row names this source point");
    case SPSCheckFinding::ReceiverNotRelated:
        return QCoreApplication::translate("SPSSurveyCheck",
                                           "no X row's receiver range holds this point");
    case SPSCheckFinding::NotARecord:
        return QCoreApplication::translate(
            "SPSSurveyCheck", "the row does not look like an SPS record: its columns hold no "
                              "number where the layout needs one");
    default:
        break;
    }
    return QString();
}

QString SPSCheckFindingList::Line(const SPSCheckFinding& f) const
{
    return f.line < 0 ? QString() : m_LineNames[size_t(f.line)];
}

QString SPSCheckFindingList::Index(const SPSCheckFinding& f) const
{
    return f.index ? QString(QChar(char16_t(f.index))) : QString();
}

qint32 SPSCheckFindingList::LineFactor(const SPSCheckFinding& f) const
{
    return f.kind == SPSCheckFinding::SharedNumber ? qint32(f.a) : 0;
}

SPSCheckFinding::Severity SPSCheckFindingList::SeverityOf(const SPSCheckFinding& f) const
{
    if (f.kind == SPSCheckFinding::Revision && f.variant == 1)
        return SPSCheckFinding::Error;
    return SPSCheckFinding::KindSeverity(f.kind);
}

QString SPSCheckFindingList::Point(const SPSCheckFinding& f) const
{
    SPSCheckNumber::Spelling room;
    const QByteArrayView text = PointBytes(f, room);
    return text.isNull() ? QString() : QString::fromUtf8(text.data(), text.size());
}

QByteArrayView SPSCheckFindingList::PointBytes(const SPSCheckFinding& f,
                                               SPSCheckNumber::Spelling& room) const
{
    if (f.pointSpelled)
        return SPSCheckNumber{f.point}.Spell(int(f.pointDecimals), room);
    return TextBytes(f.point);
}

bool SPSCheckFindingList::PointValue(const SPSCheckFinding& f, double* value) const
{
    // What the text reads as: the code's count, divided once by its unit.
    if (f.pointSpelled) {
        *value = SPSCheckNumber{f.point}.Value();
        return true;
    }
    SPSCheckNumber::Spelling room;
    const QByteArrayView text = PointBytes(f, room);
    const qsizetype size = text.size();
    if (size == 0 || size > 32)
        return false;
    // Point texts are short ASCII numbers where they are numbers at all.
    char buffer[33];
    std::memcpy(buffer, text.data(), size_t(size));
    buffer[size] = 0;
    bool ok = false;
    *value = QByteArray::fromRawData(buffer, qsizetype(size)).toDouble(&ok);
    return ok && std::isfinite(*value);
}

int SPSCheckFindingList::AddFile(const File& file)
{
    m_Files.push_back(file);
    return int(m_Files.size()) - 1;
}

qint32 SPSCheckFindingList::AddLine(const QString& name)
{
    m_LineNames.push_back(name);
    return qint32(m_LineNames.size()) - 1;
}

quint32 SPSCheckFindingList::AddText(const char* utf8, qsizetype size)
{
    const quint32 length = quint32(size);
    if (m_Texts.size() + sizeof length + size_t(size) >= size_t(SPSCheckFinding::kNoText))
        return SPSCheckFinding::kNoText; // beyond what a finding can point at
    const quint32 at = quint32(m_Texts.size());
    const char* bytes = reinterpret_cast<const char*>(&length);
    m_Texts.insert(m_Texts.end(), bytes, bytes + sizeof length);
    m_Texts.insert(m_Texts.end(), utf8, utf8 + size);
    return at;
}

quint32 SPSCheckFindingList::AddText(QStringView text)
{
    const QByteArray utf8 = text.toUtf8();
    return AddText(utf8.constData(), utf8.size());
}

QString SPSCheckFindingList::Text(quint32 at) const
{
    if (at == SPSCheckFinding::kNoText)
        return QString();
    quint32 size = 0;
    std::memcpy(&size, m_Texts.data() + at, sizeof size);
    return QString::fromUtf8(m_Texts.data() + at + sizeof size, qsizetype(size));
}

QByteArrayView SPSCheckFindingList::TextBytes(quint32 at) const
{
    if (at == SPSCheckFinding::kNoText)
        return QByteArrayView();
    quint32 size = 0;
    std::memcpy(&size, m_Texts.data() + at, sizeof size);
    return QByteArrayView(m_Texts.data() + at + sizeof size, qsizetype(size));
}

SPSCheckFindingList::MessageWriter::MessageWriter(const SPSCheckFindingList& list)
    : m_List(list), m_LineNames(size_t(list.LineCount())), m_LineMade(size_t(list.LineCount()))
{
    for (const Kind kind : {SPSCheckFinding::SourceNotRelated, SPSCheckFinding::ReceiverNotRelated,
                            SPSCheckFinding::NotARecord}) {
        SPSCheckFinding f;
        f.kind = kind;
        m_Fixed[kind] = list.Message(f).toUtf8();
    }
    // Split where %1, %2 and %3 stand, in that order, as arg puts them; a
    // translation that orders or marks them otherwise takes Message.
    const QString text = SPSCheckTranslated(kSourceMissingText);
    qsizetype from = 0;
    for (const QLatin1StringView marker :
         {QLatin1StringView("%1"), QLatin1StringView("%2"), QLatin1StringView("%3")}) {
        const qsizetype at = text.indexOf(marker, from);
        if (at < 0) {
            m_SourceMissing.clear();
            return;
        }
        m_SourceMissing.push_back(text.mid(from, at - from).toUtf8());
        from = at + 2;
    }
    m_SourceMissing.push_back(text.mid(from).toUtf8());
    for (const QByteArray& piece : m_SourceMissing)
        if (piece.contains('%')) {
            m_SourceMissing.clear();
            return;
        }
}

void SPSCheckFindingList::MessageWriter::Append(const SPSCheckFinding& f, std::string& to)
{
    const auto add = [&to](QByteArrayView bytes) { to.append(bytes.data(), size_t(bytes.size())); };
    if (f.whole) {
        add(m_List.TextBytes(f.text));
        return;
    }
    if (!m_Fixed[f.kind].isEmpty()) {
        add(m_Fixed[f.kind]);
        return;
    }
    if (f.kind == SPSCheckFinding::RelationSourceMissing && !m_SourceMissing.empty()) {
        QByteArrayView line;
        if (f.line >= 0) {
            const size_t id = size_t(f.line);
            if (!m_LineMade[id]) {
                m_LineNames[id] = m_List.LineName(f.line).toUtf8();
                m_LineMade[id] = true;
            }
            line = m_LineNames[id];
        }
        add(m_SourceMissing[0]);
        add(m_List.TextBytes(f.text));
        add(m_SourceMissing[1]);
        add(line);
        add(m_SourceMissing[2]);
        SPSCheckNumber::Spelling room;
        add(m_List.PointBytes(f, room));
        add(m_SourceMissing[3]);
        return;
    }
    add(m_List.Message(f).toUtf8());
}

SPSCheckFinding& SPSCheckFindingList::Add(int file, qint64 row, Kind kind, const QString& message,
                                          const QString& line, const QString& point,
                                          const QString& index)
{
    SPSCheckFinding& f = m_Items.emplace_back();
    f.file = quint64(file);
    f.row = row;
    f.kind = kind;
    f.whole = 1;
    f.text = AddText(message);
    if (!line.isEmpty() || !point.isEmpty())
        f.line = AddLine(line);
    if (!point.isEmpty())
        f.point = AddText(point);
    if (index.size() == 1 && index.at(0).unicode() < 0x80)
        f.index = index.at(0).unicode();
    return f;
}

quint32 SPSCheckFindingList::AppendParts(SPSCheckFindingList&& parts)
{
    for (File& file : parts.m_Files)
        m_Files.push_back(std::move(file));
    m_LineNames.reserve(m_LineNames.size() + parts.m_LineNames.size());
    for (QString& name : parts.m_LineNames)
        m_LineNames.push_back(std::move(name));
    std::vector<QString>().swap(parts.m_LineNames);
    const quint32 base = quint32(m_Texts.size());
    // As the findings are moved: a batch at a time, the copied pages handed back.
    m_Texts.reserve(m_Texts.size() + parts.m_Texts.size());
    constexpr size_t kBatch = size_t(4) << 20;
    size_t released = 0;
    for (size_t from = 0; from < parts.m_Texts.size(); from += kBatch) {
        const size_t to = std::min(parts.m_Texts.size(), from + kBatch);
        m_Texts.insert(m_Texts.end(), parts.m_Texts.begin() + qsizetype(from),
                       parts.m_Texts.begin() + qsizetype(to));
        released = SPSReleasePages(parts.m_Texts.data(), released, to);
    }
    SPSLargeVector<char>().swap(parts.m_Texts);
    return base;
}

SPSCheckFinding SPSCheckFindingList::Rebased(SPSCheckFinding f, int fileBase, qint32 lineBase,
                                             quint32 textBase)
{
    f.file = quint64(int(f.file) + fileBase);
    if (f.line >= 0)
        f.line += lineBase;
    if (f.point != SPSCheckFinding::kNoText && !f.pointSpelled)
        f.point += textBase;
    if (holdsText(f) && f.text != SPSCheckFinding::kNoText)
        f.text += textBase;
    return f;
}
