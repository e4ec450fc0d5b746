#include "SPSPointChecks.h"

#include "SPSCheckWording.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <limits>

namespace SPSPointChecks {

namespace {
using Kind = SPSCheckFinding::Kind;

// A point lies "far off its line" when it is farther than this many median
// spacings of its line from both its neighbours along the line.
constexpr double kOutlierSpacings = 5.0;
// Half the decimetre that SPS coordinates record.
constexpr double kPrecisionLimit = 0.05;

// Single precision of the host's records; beyond the float range: infinity.
double singleChange(double v)
{
    if (!std::isfinite(v) || std::fabs(v) >= double(std::numeric_limits<float>::max()))
        return 0;
    return std::fabs(double(float(v)) - v);
}
} // namespace

void Places(const SPSCheckPointTable& table, SPSCheckFindings& findings)
{
    const SPSLargeVector<SPSCheckPoint>& points = table.points;
    // The same line and point: numbers compare by value, other texts as they are.
    auto pointLess = [&](const SPSCheckPoint& a, const SPSCheckPoint& b) {
        if (a.line != b.line)
            return a.line < b.line;
        if (a.numeric != b.numeric)
            return a.numeric;
        if (a.numeric)
            return table.Value(a.value) < table.Value(b.value);
        return table.CompareTexts(a, b) < 0;
    };

    // By line, point and index, file order among equals. Files in line order
    // hand them over sorted already, and then need no copy of the keys beside
    // the whole survey's tables; others are sorted as compact keys, quicker
    // than through the points.
    struct Key
    {
        qint32 line;
        qint32 at;
        double value;
        char16_t index;
        bool text;
    };
    const auto keyOf = [&](qint32 i) {
        const SPSCheckPoint& p = points[size_t(i)];
        return Key{p.line, i, p.numeric ? table.Value(p.value) : 0.0, char16_t(p.index),
                   !p.numeric};
    };
    const auto keyLess = [&](const Key& a, const Key& b) {
        if (a.line != b.line)
            return a.line < b.line;
        if (a.text != b.text)
            return b.text;
        if (!a.text) {
            if (a.value != b.value)
                return a.value < b.value;
        } else if (const int c = table.CompareTexts(points[size_t(a.at)], points[size_t(b.at)])) {
            return c < 0;
        }
        if (a.index != b.index)
            return a.index < b.index;
        return a.at < b.at;
    };
    SPSLargeVector<qint32> order(points.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = qint32(i);
    if (!std::is_sorted(order.begin(), order.end(),
                        [&](qint32 a, qint32 b) { return keyLess(keyOf(a), keyOf(b)); })) {
        SPSLargeVector<Key> keys(points.size());
        for (size_t i = 0; i < points.size(); ++i)
            keys[i] = keyOf(qint32(i));
        std::sort(keys.begin(), keys.end(), keyLess);
        for (size_t i = 0; i < keys.size(); ++i)
            order[i] = keys[i].at;
    }

    // Duplicates and conflicts: compared with the first row of the same point.
    std::vector<qint32> unique; // one per line and point, for the spacing along lines
    for (size_t k = 0; k < order.size();) {
        size_t end = k + 1;
        const SPSCheckPoint& first = points[size_t(order[k])];
        while (end < order.size() && !pointLess(first, points[size_t(order[end])]))
            ++end;
        unique.push_back(order[k]);
        // The first row of each index; rows of one index are adjacent.
        const SPSCheckPoint* same = &first;
        for (size_t m = k + 1; m < end; ++m) {
            const SPSCheckPoint& p = points[size_t(order[m])];
            if (p.index != same->index) {
                same = &p;
                continue;
            }
            const double dx = table.Value(p.x) - table.Value(same->x);
            const double dy = table.Value(p.y) - table.Value(same->y);
            const bool samePlace = dx == 0 && dy == 0;
            SPSCheckFinding& f =
                findings.Add(p.row, samePlace ? Kind::Duplicate : Kind::Conflict, table, p);
            f.a = double(same->row);
            if (!samePlace)
                f.b = std::sqrt(dx * dx + dy * dy);
        }
        k = end;
    }

    // Outliers: at (0, 0), or far from both neighbours along the line.
    auto distance = [&](qint32 i, qint32 j) {
        const SPSCheckPoint& a = points[size_t(i)];
        const SPSCheckPoint& b = points[size_t(j)];
        const double dx = table.Value(a.x) - table.Value(b.x);
        const double dy = table.Value(a.y) - table.Value(b.y);
        return std::sqrt(dx * dx + dy * dy);
    };
    std::vector<qint32> along;
    std::vector<double> gaps, sorted;
    for (size_t k = 0; k < unique.size();) {
        const qint32 line = points[size_t(unique[k])].line;
        along.clear();
        size_t end = k;
        for (; end < unique.size() && points[size_t(unique[end])].line == line; ++end) {
            const SPSCheckPoint& p = points[size_t(unique[end])];
            // Coordinates that are blank or no number are 0 in the load as well.
            if (table.Value(p.x) == 0 && table.Value(p.y) == 0 && !p.nonFinite)
                findings.Add(p.row, Kind::Outlier, table, p).variant = 1;
            else if (p.hasXY)
                along.push_back(unique[end]);
        }
        k = end;
        if (along.size() < 3)
            continue;
        gaps.resize(along.size() - 1);
        for (size_t i = 0; i + 1 < along.size(); ++i)
            gaps[i] = distance(along[i], along[i + 1]);
        sorted = gaps;
        // The lower median: of an even count, half the gaps may touch outliers.
        const size_t middle = (sorted.size() - 1) / 2;
        std::nth_element(sorted.begin(), sorted.begin() + qsizetype(middle), sorted.end());
        const double median = sorted[middle];
        if (!(median > 0))
            continue;
        const double far = kOutlierSpacings * median;
        for (size_t i = 0; i < along.size(); ++i) {
            const double before = i > 0 ? gaps[i - 1] : -1;
            const double after = i + 1 < along.size() ? gaps[i] : -1;
            bool outlier;
            if (before >= 0 && after >= 0)
                outlier = before > far && after > far;
            else if (before >= 0) // the last point: its neighbour must lie in line
                outlier = before > far && gaps[i - 2] <= far;
            else
                outlier = after > far && gaps[1] <= far;
            if (outlier) {
                const SPSCheckPoint& p = points[size_t(along[i])];
                SPSCheckFinding& f = findings.Add(p.row, Kind::Outlier, table, p);
                f.a = std::min(before < 0 ? after : before, after < 0 ? before : after);
                f.b = median;
            }
        }
    }
}

void Precision(const SPSCheckPointTable& table, SPSCheckFindings& findings)
{
    double largest[2] = {0, 0};
    const SPSCheckPoint* worst[2] = {nullptr, nullptr};
    qint64 count[2] = {0, 0}, known = 0;
    for (const SPSCheckPoint& p : table.points) {
        if (!p.hasXY)
            continue;
        ++known;
        const double change[2] = {singleChange(table.Value(p.x)), singleChange(table.Value(p.y))};
        for (int axis = 0; axis < 2; ++axis) {
            count[axis] += change[axis] > kPrecisionLimit;
            if (change[axis] > largest[axis]) {
                largest[axis] = change[axis];
                worst[axis] = &p;
            }
        }
    }
    for (int axis = 0; axis < 2; ++axis) {
        if (count[axis] == 0)
            continue;
        findings.Add(0, Kind::Precision,
                     QCoreApplication::translate(
                         "SPSSurveyCheck",
                         "single precision changes the %1 by up to %2 (row %3); %4 of %5 points "
                         "change by more than %6")
                         .arg(axis == 0 ? QCoreApplication::translate("SPSSurveyCheck", "easting")
                                        : QCoreApplication::translate("SPSSurveyCheck", "northing"))
                         .arg(QString::number(largest[axis], 'g', 3))
                         .arg(worst[axis]->row)
                         .arg(count[axis])
                         .arg(known)
                         .arg(kPrecisionLimit),
                     table, *worst[axis]);
    }
}

void SharedNumbers(const SPSCheckPointTable& table, int limit, SPSCheckFindings& findings)
{
    const SPSLargeVector<SPSCheckPoint>& points = table.points;
    // By number, then by line in the order the file first names them (their
    // ids), then in file order.
    struct Key
    {
        qint32 number;
        qint32 line;
        qint32 at;
        bool operator<(const Key& o) const
        {
            return number != o.number ? number < o.number
                   : line != o.line   ? line < o.line
                                      : at < o.at;
        }
    };
    const auto keyOf = [&](qint32 i) {
        return Key{points[size_t(i)].number, points[size_t(i)].line, i};
    };
    qint64 largestPoint = 0, largestLine = 0;
    SPSLargeVector<qint32> order(points.size());
    for (size_t i = 0; i < points.size(); ++i) {
        const SPSCheckPoint& p = points[i];
        order[i] = qint32(i);
        largestPoint = qMax<qint64>(largestPoint, qAbs(qint64(table.PointNumber(p))));
        largestLine = qMax<qint64>(largestLine, qAbs(qint64(table.lines.Number(p.line))));
    }
    // As the places above: sorted as keys only when the file is not in order.
    if (!std::is_sorted(order.begin(), order.end(),
                        [&](qint32 a, qint32 b) { return keyOf(a) < keyOf(b); })) {
        SPSLargeVector<Key> keys(points.size());
        for (size_t i = 0; i < points.size(); ++i)
            keys[i] = keyOf(qint32(i));
        std::sort(keys.begin(), keys.end());
        for (size_t i = 0; i < keys.size(); ++i)
            order[i] = keys[i].at;
    }

    // The power of ten above every point number keeps the lines apart, as long
    // as line x power + point stays within 32 bits.
    qint64 power = 10;
    while (power <= largestPoint)
        power *= 10;
    // Tested by division: line x power itself may pass 64 bits.
    constexpr qint64 most = std::numeric_limits<qint32>::max();
    const bool fits =
        power <= most && largestPoint <= most && largestLine <= (most - largestPoint) / power;
    const qint32 lineFactor = fits ? qint32(power) : 0;
    const QString advice =
        fits ? QCoreApplication::translate("SPSSurveyCheck",
                                           "a line factor of %1 keeps the lines apart")
                   .arg(power)
             : QCoreApplication::translate("SPSSurveyCheck",
                                           "no line factor keeps the lines apart within 32 bits");

    qint64 shared = 0;
    for (size_t k = 0; k < order.size();) {
        size_t end = k + 1;
        const SPSCheckPoint& first = points[size_t(order[k])];
        // Distinct lines stand together in the order; names only for findings made.
        qsizetype lineCount = 1;
        for (; end < order.size() && points[size_t(order[end])].number == first.number; ++end)
            if (points[size_t(order[end])].line != points[size_t(order[end - 1])].line)
                ++lineCount;
        const size_t begin = k;
        k = end;
        if (lineCount < 2)
            continue;
        if (++shared > limit)
            continue;
        QStringList lines{table.lines.Name(first.line)};
        for (size_t m = begin + 1; m < end; ++m) {
            const qint32 line = points[size_t(order[m])].line;
            if (line != points[size_t(order[m - 1])].line)
                lines.append(table.lines.Name(line));
        }
        QString named = lines.mid(0, 5).join(QStringLiteral(", "));
        if (lines.size() > 5)
            named +=
                QCoreApplication::translate("SPSSurveyCheck", " and %1 more").arg(lines.size() - 5);
        // The point of the line named first, its first row.
        findings
            .Add(first.row, Kind::SharedNumber,
                 QCoreApplication::translate("SPSSurveyCheck",
                                             "point number %1 is shared by %2 lines (%3); the "
                                             "load keeps one point; %4")
                     .arg(first.number)
                     .arg(lines.size())
                     .arg(named, advice),
                 table, first)
            .a = lineFactor;
    }
    if (shared > limit)
        findings
            .Add(0, Kind::SharedNumber,
                 QCoreApplication::translate(
                     "SPSSurveyCheck",
                     "%1 point numbers are shared by more than one line in all; %2")
                     .arg(shared)
                     .arg(advice))
            .a = lineFactor;
}

void All(const SPSCheckPointTable& table, int sharedNumberLimit, SPSCheckFindings& findings)
{
    Places(table, findings);
    Precision(table, findings);
    SharedNumbers(table, sharedNumberLimit, findings);
}

} // namespace SPSPointChecks
