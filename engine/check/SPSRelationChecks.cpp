#include "SPSRelationChecks.h"

#include "SPSCheckWording.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <thread>

namespace SPSRelationChecks {

namespace {
using Kind = SPSCheckFinding::Kind;

// Values of the same point or station, as the rows and files write them.
constexpr double kSame = 1e-6;

// A numbered point of a file: its line, index and point value.
struct Station
{
    qint32 line;
    qint32 at;
    double value;
};

// Equal stations (a file may repeat one) in file order.
bool stationLess(const Station& a, const Station& b)
{
    return a.line != b.line     ? a.line < b.line
           : a.value != b.value ? a.value < b.value
                                : a.at < b.at;
}

// The numbered points of a file by line and point value, held as their
// indices alone while the findings grow beside them.
class Stations
{
public:
    explicit Stations(const SPSCheckPointTable& table) : m_Points(table.points)
    {
        const SPSLargeVector<SPSCheckPoint>& points = m_Points;
        m_At.reserve(points.size());
        for (size_t i = 0; i < points.size(); ++i)
            if (points[i].numeric)
                m_At.push_back(qint32(i));
        // Files in line order are sorted already, and then need no copy of
        // their stations' lines and values beside the whole survey's tables;
        // others are sorted as that compact copy, quicker than through the points.
        const auto stationOf = [&](qint32 i) {
            return Station{points[size_t(i)].line, i, table.Value(points[size_t(i)].value)};
        };
        if (!std::is_sorted(m_At.begin(), m_At.end(), [&](qint32 a, qint32 b) {
                return stationLess(stationOf(a), stationOf(b));
            })) {
            SPSLargeVector<Station> stations;
            stations.reserve(m_At.size());
            for (const qint32 i : m_At)
                stations.push_back(stationOf(i));
            std::sort(stations.begin(), stations.end(), stationLess);
            for (size_t k = 0; k < stations.size(); ++k)
                m_At[k] = stations[k].at;
        }
        // Their values beside them, as the searches read them by the million.
        m_Values.reserve(m_At.size());
        for (const qint32 i : m_At)
            m_Values.push_back(stationOf(i).value);
        // Where each line's stations begin: a look-up searches its line alone.
        qint32 lines = 0;
        for (size_t k = 0; k < m_At.size(); ++k)
            lines = qMax(lines, Line(k) + 1);
        m_LineBegin.assign(size_t(lines) + 1, 0);
        for (size_t k = 0; k < m_At.size(); ++k)
            ++m_LineBegin[size_t(Line(k)) + 1];
        for (size_t l = 1; l < m_LineBegin.size(); ++l)
            m_LineBegin[l] += m_LineBegin[l - 1];
        m_Hint.assign(m_LineBegin.begin(), m_LineBegin.end() - 1);
    }

    Station At(size_t k) const
    {
        const qint32 i = m_At[k];
        return {m_Points[size_t(i)].line, i, m_Values[k]};
    }

    struct Arrow
    {
        Station station;
        const Station* operator->() const { return &station; }
    };
    class Iterator
    {
    public:
        Iterator(const Stations* stations, size_t k) : m_pStations(stations), m_nAt(k) {}
        Arrow operator->() const { return {m_pStations->At(m_nAt)}; }
        Iterator& operator++()
        {
            ++m_nAt;
            return *this;
        }
        bool operator!=(const Iterator& o) const { return m_nAt != o.m_nAt; }
        bool operator==(const Iterator& o) const { return m_nAt == o.m_nAt; }

    private:
        const Stations* m_pStations;
        size_t m_nAt;
    };
    Iterator end() const { return {this, m_At.size()}; }
    // Lets the memory of the stations go; none are left.
    void Clear()
    {
        SPSLargeVector<qint32>().swap(m_At);
        SPSLargeVector<double>().swap(m_Values);
        SPSLargeVector<qint32>().swap(m_RunEnd);
        std::vector<qint32>().swap(m_LineBegin);
        std::vector<size_t>().swap(m_Hint);
    }
    size_t Size() const { return m_At.size(); }
    double Value(size_t k) const { return m_Values[k]; }
    qint32 Line(size_t k) const { return m_Points[size_t(m_At[k])].line; }
    qint32 PointIndex(size_t k) const { return m_At[k]; }

    // The first station not before (line, value), by its place; searched from
    // where the last search of that line ended: relation rows mostly name a
    // line's stations in the order the file holds them, a step or two on,
    // though consecutive rows name other lines.
    size_t LowerBound(qint32 line, double value)
    {
        if (line < 0 || size_t(line) + 1 >= m_LineBegin.size())
            return m_At.size();
        size_t low = size_t(m_LineBegin[size_t(line)]);
        size_t high = size_t(m_LineBegin[size_t(line) + 1]);
        size_t& hint = m_Hint[size_t(line)];
        if (hint >= low && hint <= high) {
            if (hint == low || Value(hint - 1) < value) {
                // At or after the hint: gallop to a station not before the value.
                low = hint;
                size_t next = hint;
                for (size_t step = 1; next < high && Value(next) < value; step *= 2) {
                    low = next + 1;
                    next = low + step;
                }
                high = qMin(next, high);
            } else {
                high = hint;
            }
        }
        while (low < high) {
            const size_t mid = low + (high - low) / 2;
            if (Value(mid) < value)
                low = mid + 1;
            else
                high = mid;
        }
        hint = low;
        return low;
    }
    Iterator Find(qint32 line, double value) { return {this, LowerBound(line, value)}; }

    // Whether the stations first to last, all on one line, follow one another
    // at this spacing (exactly, as the files write the numbers): a range of an
    // X row that is such a run is settled without walking its stations.
    bool IsRun(size_t first, size_t last, double step) const
    {
        if (last == first)
            return true;
        return Value(first + 1) - Value(first) == step && size_t(m_RunEnd[first]) >= last;
    }

    // Finds the runs of equal spacing; only the receivers need them.
    void FindRuns()
    {
        const size_t n = m_At.size();
        m_RunEnd.assign(n, 0);
        for (size_t i = n; i-- > 0;) {
            m_RunEnd[i] = qint32(i);
            if (i + 1 >= n || Line(i + 1) != Line(i))
                continue;
            m_RunEnd[i] = qint32(i + 1);
            if (m_RunEnd[i + 1] > qint32(i + 1) &&
                Value(i + 2) - Value(i + 1) == Value(i + 1) - Value(i))
                m_RunEnd[i] = m_RunEnd[i + 1];
        }
    }

private:
    const SPSLargeVector<SPSCheckPoint>& m_Points;
    SPSLargeVector<qint32> m_At;
    SPSLargeVector<double> m_Values; // by station, as m_At
    std::vector<qint32> m_LineBegin; // by line id, and one past the last
    std::vector<size_t> m_Hint;      // by line id: where its last search ended
    // For each station, the last of the run of equal spacing it starts.
    SPSLargeVector<qint32> m_RunEnd;
};

// For each line of the relation table, the id of the same line in the points'
// table; -1 when it has none.
std::vector<qint32> sameLines(const SPSCheckLines& relationLines, const SPSCheckLines& pointLines)
{
    std::vector<qint32> ids(size_t(relationLines.Count()));
    for (qint32 id = 0; id < relationLines.Count(); ++id)
        ids[size_t(id)] = pointLines.Find(relationLines.Name(id));
    return ids;
}

// Rows begin to end of order, the rows of one field record: ranges must not overlap.
void checkChannels(const SPSCheckRelationTable& relations, const SPSLargeVector<size_t>& order,
                   size_t begin, size_t end, SPSCheckFindings& findings)
{
    const SPSLargeVector<SPSCheckRelation>& rows = relations.rows;
    const auto first = [&](const SPSCheckRelation& r) { return relations.Value(r.firstChannel); };
    const auto last = [&](const SPSCheckRelation& r) { return relations.Value(r.lastChannel); };
    // By their lowest channel.
    const SPSCheckRelation* reach = &rows[order[begin]];
    for (size_t m = begin + 1; m < end; ++m) {
        const SPSCheckRelation& r = rows[order[m]];
        const double reachEnd = qMax(first(*reach), last(*reach));
        if (qMin(first(r), last(r)) <= reachEnd) {
            SPSCheckFinding& f = findings.Add(
                r.row, Kind::ChannelOverlap,
                QCoreApplication::translate(
                    "SPSSurveyCheck",
                    "channels %1-%2 of field record %3 overlap channels %4-%5 of row %6")
                    .arg(SPSCheckNumberText(first(r)), SPSCheckNumberText(last(r)),
                         relations.Record(r).toString(), SPSCheckNumberText(first(*reach)),
                         SPSCheckNumberText(last(*reach)))
                    .arg(reach->row));
            // The record's shot: what the user looks for in the S file.
            findings.NameSource(f, relations, r);
        }
        if (qMax(first(r), last(r)) > reachEnd)
            reach = &r;
    }
}
} // namespace

bool Points(const SPSCheckRelationTable& relations, const SPSCheckPointTable& sources,
            const SPSCheckPointTable& receivers, SPSCheckFindings& relationFindings,
            SPSCheckFindings& sourceFindings, SPSCheckFindings& receiverFindings,
            const std::atomic<bool>* stop, const std::function<void()>& rowsDone, bool rowsGo)
{
    const SPSLargeVector<SPSCheckRelation>& rows = relations.rows;
    // The source points the rows name are looked up on a thread of their own,
    // beside the receiver ranges here: the places of the rows that name none.
    std::vector<bool> sourceNamed(sources.points.size());
    // Room for every row: grown by copies, it would be held twice.
    SPSLargeVector<size_t> unnamed;
    unnamed.reserve(rows.size());
    std::atomic<bool> sourcesStopped{false};
    std::thread sourceLookUp([&] {
        Stations sourceStations(sources);
        const std::vector<qint32> sourceLine = sameLines(relations.lines, sources.lines);
        for (size_t k = 0; k < rows.size(); ++k) {
            if (stop && stop->load(std::memory_order_relaxed)) {
                sourcesStopped.store(true);
                return;
            }
            const SPSCheckRelation& r = rows[k];
            const double point = relations.Value(r.sourcePoint);
            bool found = false;
            if (const qint32 line = sourceLine[size_t(r.sourceLine)]; line >= 0)
                for (auto it = sourceStations.Find(line, point - kSame); it != sourceStations.end();
                     ++it) {
                    if (it->line != line || it->value > point + kSame)
                        break;
                    sourceNamed[size_t(it->at)] = true;
                    found = true;
                }
            if (!found)
                unnamed.push_back(k);
        }
    });
    // The rows that name no source point, as far as they were looked up.
    const auto sourcesMissing = [&] {
        sourceLookUp.join();
        SPSLargeVector<SPSCheckFinding>& missing =
            relationFindings.OfKind(Kind::RelationSourceMissing);
        // Its point and record, each with its length.
        relationFindings.Reserve(Kind::RelationSourceMissing, unnamed.size(), 2 * (4 + 8));
        // A relation of shots the S file lacks makes as many findings as rows:
        // the rows passed go as the findings grow. Not const to the caller.
        auto* const rowBytes = const_cast<SPSCheckRelation*>(rows.data());
        auto* const textBytes = const_cast<char*>(relations.texts.data());
        size_t rowsGone = 0, textsGone = 0;
        for (size_t m = 0; m < unnamed.size(); ++m) {
            const SPSCheckRelation& r = rows[unnamed[m]];
            // The message is made when shown, from the record and the names.
            SPSCheckFinding& f = missing.emplace_back();
            f.row = r.row;
            f.kind = Kind::RelationSourceMissing;
            relationFindings.NameSource(f, relations, r);
            relationFindings.SetRecord(f, relations.Record(r));
            if (rowsGo && (m + 1) % 65536 == 0) {
                rowsGone =
                    SPSReleasePages(rowBytes, rowsGone, unnamed[m] * sizeof(SPSCheckRelation));
                textsGone = SPSReleasePages(textBytes, textsGone, size_t(r.textOffset));
            }
        }
        SPSLargeVector<size_t>().swap(unnamed);
        return !sourcesStopped.load();
    };

    Stations receiverStations(receivers);
    receiverStations.FindRuns();
    const std::vector<qint32> receiverLine = sameLines(relations.lines, receivers.lines);
    // At most one a row: room never used costs no memory.
    relationFindings.OfKind(Kind::RelationReceiverMissing).reserve(rows.size());
    std::vector<bool> receiverCovered(receivers.points.size());
    // Ranges settled whole, as marks at their ends: +1 at the first station, -1
    // past the last; summed once all rows are seen.
    SPSLargeVector<qint32> coveredRuns(receiverStations.Size() + 1, 0);
    for (const SPSCheckRelation& r : rows) {
        if (stop && stop->load(std::memory_order_relaxed)) {
            sourcesMissing();
            return false;
        }
        // The receiver stations of its range: first to last, a station per increment.
        const double firstReceiver = relations.Value(r.firstReceiver);
        const double lastReceiver = relations.Value(r.lastReceiver);
        const double increment = relations.Value(r.increment);
        const double low = qMin(firstReceiver, lastReceiver);
        const double high = qMax(firstReceiver, lastReceiver);
        const qint32 line = receiverLine[size_t(r.receiverLine)];
        const size_t first =
            line >= 0 ? receiverStations.LowerBound(line, low - kSame) : receiverStations.Size();
        const double stations = std::floor((high - low) / increment + kSame) + 1;
        if (first < receiverStations.Size() && receiverStations.Line(first) == line &&
            receiverStations.Value(first) == low && stations <= double(receiverStations.Size())) {
            // Mostly the range is a run of the R file's stations, every one there.
            const size_t last = first + size_t(stations) - 1;
            const bool run =
                last < receiverStations.Size() && receiverStations.IsRun(first, last, increment);
            const bool endsThere = last + 1 >= receiverStations.Size() ||
                                   receiverStations.Line(last + 1) != line ||
                                   receiverStations.Value(last + 1) > high + kSame;
            if (run && endsThere && receiverStations.Value(last) <= high + kSame) {
                ++coveredRuns[first];
                --coveredRuns[last + 1];
                continue;
            }
        }
        Stations::Iterator it(&receiverStations, first);
        qint64 missing = 0;
        QStringList firstMissing;
        double s = 0; // stations before the s-th are settled
        // Stations from the s-th up to (not including) the t-th are missing;
        // counted, not walked, since a range may be very long.
        auto missTo = [&](double t) {
            t = qBound(s, t, stations);
            for (double k = s; k < t && firstMissing.size() < 5; ++k)
                firstMissing.append(SPSCheckNumberText(low + k * increment));
            missing += qint64(t - s);
            s = t;
        };
        for (; it != receiverStations.end(); ++it) {
            if (it->line != line || it->value > high + kSame)
                break;
            receiverCovered[size_t(it->at)] = true;
            // Mostly the receiver is the very station expected next.
            if (s < stations && std::fabs(low + s * increment - it->value) <= kSame) {
                ++s;
                continue;
            }
            missTo(std::ceil((it->value - kSame - low) / increment));
            if (s < stations && std::fabs(low + s * increment - it->value) <= kSame)
                ++s;
        }
        missTo(stations);
        if (missing > 0) {
            const QString& receiverLineName = relations.lines.Name(r.receiverLine);
            SPSCheckFinding& f = relationFindings.Add(
                r.row, Kind::RelationReceiverMissing,
                QCoreApplication::translate(
                    "SPSSurveyCheck",
                    "%1 of %2 stations of receiver line %3 in field record %4 are not in "
                    "the R file (%5%6)")
                    .arg(missing)
                    .arg(qint64(stations))
                    .arg(receiverLineName, relations.Record(r).toString(),
                         firstMissing.join(QStringLiteral(", ")),
                         missing > 5 ? QStringLiteral(", ...") : QString()));
            relationFindings.Name(f, relations.lines, r.receiverLine, firstMissing.value(0));
        }
    }
    if (!sourcesMissing())
        return false;
    if (rowsDone)
        rowsDone();
    qint64 depth = 0;
    for (size_t i = 0; i < receiverStations.Size(); ++i) {
        depth += coveredRuns[i];
        if (depth > 0)
            receiverCovered[size_t(receiverStations.PointIndex(i))] = true;
    }
    // Done with before the findings of millions of unrelated points are made.
    receiverStations.Clear();
    SPSLargeVector<qint32>().swap(coveredRuns);
    // A relation file of another survey leaves every point unrelated.
    // Each names its point text, with its length.
    sourceFindings.Reserve(Kind::SourceNotRelated,
                           size_t(std::count(sourceNamed.begin(), sourceNamed.end(), false)),
                           4 + 8);
    receiverFindings.Reserve(
        Kind::ReceiverNotRelated,
        size_t(std::count(receiverCovered.begin(), receiverCovered.end(), false)), 4 + 8);
    for (size_t i = 0; i < sources.points.size(); ++i)
        if (!sourceNamed[i])
            sourceFindings.Add(sources.points[i].row, Kind::SourceNotRelated, sources,
                               sources.points[i]);
    for (size_t i = 0; i < receivers.points.size(); ++i)
        if (!receiverCovered[i])
            receiverFindings.Add(receivers.points[i].row, Kind::ReceiverNotRelated, receivers,
                                 receivers.points[i]);
    return true;
}

void FieldRecords(const SPSCheckRelationTable& relations, SPSCheckFindings& findings)
{
    // A field record is the shot of one tape, record number and source point:
    // record numbers of four columns wrap every 9,999 shots, and the tape
    // number counts the wraps.
    const SPSLargeVector<SPSCheckRelation>& rows = relations.rows;
    SPSLargeVector<size_t> order(rows.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    const auto sameShot = [&](const SPSCheckRelation& a, const SPSCheckRelation& b) {
        return a.sourceLine == b.sourceLine &&
               relations.Value(a.sourcePoint) == relations.Value(b.sourcePoint);
    };
    // Texts of one length, byte by byte: records need only come together, and
    // a million rows are compared.
    const auto compareBytes = [](QUtf8StringView a, QUtf8StringView b) {
        return a.size() == 0 ? 0 : std::memcmp(a.data(), b.data(), size_t(a.size()));
    };
    const auto sameRecord = [&](const SPSCheckRelation& a, const SPSCheckRelation& b) {
        return a.tapeLength == b.tapeLength && a.recordLength == b.recordLength &&
               compareBytes(relations.Tape(a), relations.Tape(b)) == 0 &&
               compareBytes(relations.Record(a), relations.Record(b)) == 0;
    };
    const auto recordOrder = [&](size_t i, size_t j) {
        const SPSCheckRelation& a = rows[i];
        const SPSCheckRelation& b = rows[j];
        // Shorter texts first: numbers written without leading zeros then come
        // in their order, which is the order a field crew writes them in.
        if (a.tapeLength != b.tapeLength)
            return a.tapeLength < b.tapeLength;
        if (const int c = compareBytes(relations.Tape(a), relations.Tape(b)))
            return c < 0;
        if (a.recordLength != b.recordLength)
            return a.recordLength < b.recordLength;
        if (const int c = compareBytes(relations.Record(a), relations.Record(b)))
            return c < 0;
        if (a.sourceLine != b.sourceLine)
            return a.sourceLine < b.sourceLine;
        const double pointA = relations.Value(a.sourcePoint);
        const double pointB = relations.Value(b.sourcePoint);
        if (pointA != pointB)
            return pointA < pointB;
        return qMin(relations.Value(a.firstChannel), relations.Value(a.lastChannel)) <
               qMin(relations.Value(b.firstChannel), relations.Value(b.lastChannel));
    };
    // A relation written record by record is in that order already.
    if (!std::is_sorted(order.begin(), order.end(), recordOrder))
        std::stable_sort(order.begin(), order.end(), recordOrder);
    // The shots that share a record number, each by its first row; one list
    // for all records, as a survey has a million.
    std::vector<const SPSCheckRelation*> shots;
    for (size_t k = 0; k < order.size();) {
        const SPSCheckRelation& first = rows[order[k]];
        size_t end = k + 1;
        while (end < order.size() && sameRecord(rows[order[end]], first))
            ++end;
        shots.clear();
        for (size_t m = k; m < end;) {
            const SPSCheckRelation* shot = &rows[order[m]];
            size_t shotEnd = m + 1;
            while (shotEnd < end && sameShot(rows[order[shotEnd]], *shot))
                ++shotEnd;
            for (size_t i = m + 1; i < shotEnd; ++i)
                if (rows[order[i]].row < shot->row)
                    shot = &rows[order[i]];
            shots.push_back(shot);
            checkChannels(relations, order, m, shotEnd, findings);
            m = shotEnd;
        }
        k = end;
        // Without a tape number, a reused record number may be the wrap
        // itself: only a tape that uses one number twice is a fault.
        if (shots.size() < 2 || relations.Tape(first).isEmpty())
            continue;
        std::sort(
            shots.begin(), shots.end(),
            [](const SPSCheckRelation* a, const SPSCheckRelation* b) { return a->row < b->row; });
        for (size_t i = 1; i < shots.size(); ++i) {
            const SPSCheckRelation& r = *shots[i];
            SPSCheckNumber::Spelling room, firstRoom;
            const QString point = relations.SourcePoint(r, room).toString();
            SPSCheckFinding& f = findings.Add(
                r.row, Kind::RecordReused,
                QCoreApplication::translate("SPSSurveyCheck",
                                            "tape %1 uses field record %2 for source line %3 point "
                                            "%4 and, from row %5, for line %6 point %7")
                    .arg(relations.Tape(r).toString(), relations.Record(r).toString(),
                         relations.lines.Name(r.sourceLine), point)
                    .arg(shots[0]->row)
                    .arg(relations.lines.Name(shots[0]->sourceLine),
                         relations.SourcePoint(*shots[0], firstRoom).toString()));
            findings.Name(f, relations.lines, r.sourceLine, point);
        }
    }
}

} // namespace SPSRelationChecks
