#include "SPSFold.h"

#include "SPSSurveyCheck.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <limits>
#include <new>
#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define SPS_FOLD_AVX2 1
#endif

namespace {
// Point numbers this close name one station, as in the survey check.
constexpr double kSame = 1e-6;
// A range of this many stations is a typing error, not a spread.
constexpr double kMaxStations = 1e12;
constexpr double kPi = 3.14159265358979323846;
constexpr int kMaxThreads = 8;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// SPS_FOLD_NO_AVX2 in the environment takes the four-lane path, so that the
// tests run both.
bool HasAvx2()
{
#if defined(SPS_FOLD_AVX2)
    static const bool has = __builtin_cpu_supports("avx2") && !std::getenv("SPS_FOLD_NO_AVX2");
    return has;
#else
    return false;
#endif
}

bool finite(double a, double b)
{
    return std::isfinite(a) && std::isfinite(b);
}

// The stations of one table in line and point order, each (line, point) once.
struct Stations
{
    struct Line
    {
        double number = 0;
        quint32 begin = 0;
        quint32 end = 0;
        // Its points are first + k * step for every k (within kSame), so a
        // point's place is computed, not searched for.
        bool regular = false;
        double first = 0;
        double step = 0;
        double perStep = 0; // 1 / step, which a place needs without a division
        // The stations relation rows reach.
        quint32 usedBegin = std::numeric_limits<quint32>::max();
        quint32 usedEnd = 0;
    };
    std::vector<Line> lines;
    std::vector<double> point;
    std::vector<quint32> input; // the station's index in the input table
    // In the grid's frame, relative to its corner: u along the columns, v along the rows.
    std::vector<float> u;
    std::vector<float> v;

    size_t size() const { return point.size(); }

    // The line of that number, or -1; looked for first at the line given and
    // its neighbours, where consecutive rows mostly find it.
    qint32 FindLine(double number, qint32 near = -1) const
    {
        const qint32 n = qint32(lines.size());
        for (qint32 l : {near, near + 1, near - 1})
            if (l >= 0 && l < n && lines[size_t(l)].number == number)
                return l;
        auto it = std::lower_bound(lines.begin(), lines.end(), number,
                                   [](const Line& l, double n) { return l.number < n; });
        return it != lines.end() && it->number == number ? qint32(it - lines.begin()) : -1;
    }

    // The first station of the line whose point is not below the value.
    quint32 LowerBound(const Line& line, double value) const
    {
        if (!line.regular)
            return quint32(
                std::lower_bound(point.begin() + line.begin, point.begin() + line.end, value) -
                point.begin());
        const double n = double(line.end - line.begin);
        // Clamped first, the ceiling is a cast: std::ceil is a call on most x86-64.
        const double place = std::clamp((value - line.first) * line.perStep, 0.0, n);
        const quint32 whole = quint32(place);
        quint32 at = line.begin + whole + (double(whole) < place ? 1 : 0);
        // The computed place is right but for rounding.
        while (at > line.begin && point[at - 1] >= value)
            --at;
        while (at < line.end && point[at] < value)
            ++at;
        return at;
    }
    // The first station of the line whose point is above the value.
    quint32 UpperBound(const Line& line, double value) const
    {
        quint32 at = LowerBound(line, value);
        while (at < line.end && point[at] <= value)
            ++at;
        return at;
    }
};

// Station tables (In) are read as vectors of SPSFoldStation are: size() and
// [i]; relation tables likewise, of SPSFoldRelation.
template <typename In> void BuildStations(const In& in, Stations& out)
{
    const auto usable = [](const SPSFoldStation& s) {
        return finite(s.line, s.point) && finite(s.x, s.y);
    };
    // Appends the station (by its input index) unless it repeats the last one.
    const auto append = [&](quint32 i) {
        const SPSFoldStation& s = in[i];
        const bool newLine = out.lines.empty() || out.lines.back().number != s.line;
        if (!newLine && out.point.back() == s.point)
            return; // the same station again: the first one counts
        if (newLine) {
            if (!out.lines.empty())
                out.lines.back().end = quint32(out.point.size());
            Stations::Line line;
            line.number = s.line;
            line.begin = quint32(out.point.size());
            out.lines.push_back(line);
        }
        out.point.push_back(s.point);
        out.input.push_back(i);
    };
    out.point.reserve(in.size());
    out.input.reserve(in.size());
    // Files list their stations in order nearly always: taken as they come
    // while they are; otherwise sorted on a compact copy of their keys.
    bool sorted = true;
    const SPSFoldStation* last = nullptr;
    for (size_t i = 0; i < in.size() && sorted; ++i) {
        const SPSFoldStation& s = in[i];
        if (!usable(s))
            continue;
        sorted = !last || last->line < s.line || (last->line == s.line && last->point <= s.point);
        if (sorted)
            append(quint32(i));
        last = &s;
    }
    if (!sorted) {
        out = Stations();
        struct Key
        {
            double line;
            double point;
            quint32 index;
        };
        std::vector<Key> keys;
        keys.reserve(in.size());
        for (size_t i = 0; i < in.size(); ++i)
            if (usable(in[i]))
                keys.push_back({in[i].line, in[i].point, quint32(i)});
        std::sort(keys.begin(), keys.end(), [](const Key& a, const Key& b) {
            if (a.line != b.line)
                return a.line < b.line;
            if (a.point != b.point)
                return a.point < b.point;
            return a.index < b.index;
        });
        out.point.reserve(keys.size());
        out.input.reserve(keys.size());
        for (const Key& k : keys)
            append(k.index);
    }
    if (!out.lines.empty())
        out.lines.back().end = quint32(out.point.size());

    for (Stations::Line& line : out.lines) {
        const quint32 n = line.end - line.begin;
        if (n < 2)
            continue;
        line.first = out.point[line.begin];
        line.step = out.point[line.begin + 1] - line.first;
        line.regular = line.step > 4 * kSame;
        line.perStep = 1 / line.step;
        for (quint32 k = 2; k < n && line.regular; ++k)
            line.regular = std::fabs(out.point[line.begin + k] -
                                     (line.first + double(k) * line.step)) <= kSame;
    }
}

// The common direction of a table's lines, by least squares over their
// points (each line about its own mean), as an angle in (-pi/2, pi/2]
// anticlockwise from east; false when no line has two distinct points.
template <typename In> bool LinesDirection(const In& in, const Stations& s, double* angle)
{
    double sxx = 0, syy = 0, sxy = 0;
    for (const Stations::Line& line : s.lines) {
        const quint32 n = line.end - line.begin;
        if (n < 2)
            continue;
        // In one pass, about the line's first point, so that coordinates far
        // from the origin keep their digits.
        const double x0 = in[s.input[line.begin]].x, y0 = in[s.input[line.begin]].y;
        double mx = 0, my = 0, xx = 0, yy = 0, xy = 0;
        for (quint32 k = line.begin; k < line.end; ++k) {
            const double dx = in[s.input[k]].x - x0;
            const double dy = in[s.input[k]].y - y0;
            mx += dx;
            my += dy;
            xx += dx * dx;
            yy += dy * dy;
            xy += dx * dy;
        }
        sxx += xx - mx * mx / n;
        syy += yy - my * my / n;
        sxy += xy - mx * my / n;
    }
    if (!(sxx + syy > 0))
        return false;
    *angle = 0.5 * std::atan2(2 * sxy, sxx - syy);
    return true;
}

// Nine significant digits: a size measured on coordinates keeps no noise of
// their last binary digits (25 m, not 25.0000000002 m).
double Significant(double value)
{
    if (!(value > 0) || !std::isfinite(value))
        return value;
    const int e = 8 - int(std::floor(std::log10(value)));
    const double scale = std::pow(10.0, std::abs(e));
    return e >= 0 ? std::round(value * scale) / scale : std::round(value / scale) * scale;
}

double Median(std::vector<double>& values)
{
    if (values.empty())
        return 0;
    auto middle = values.begin() + std::ptrdiff_t(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

// The median distance between neighbouring stations of a line, measured along
// the lines' direction (an angle from east) when they have one, so that the
// stations' scatter across the line does not lengthen it; 0 when no line has
// two stations apart. Of many stations, up to 2^16 neighbours spread evenly
// over them tell it.
template <typename In>
double StationSpacing(const In& in, const Stations& s, bool along, double angle)
{
    const double c = std::cos(angle), n = std::sin(angle);
    const size_t step = std::max<size_t>(1, s.size() >> 16);
    std::vector<double> d;
    d.reserve(s.size() / step + 1);
    for (const Stations::Line& line : s.lines)
        for (quint32 k = line.begin + 1; k < line.end; ++k) {
            if (k % step != 0)
                continue;
            const SPSFoldStation& a = in[s.input[k - 1]];
            const SPSFoldStation& b = in[s.input[k]];
            const double dx = b.x - a.x, dy = b.y - a.y;
            const double distance =
                along ? std::fabs(dx * c + dy * n) : std::sqrt(dx * dx + dy * dy);
            if (distance > 0 && std::isfinite(distance))
                d.push_back(distance);
        }
    return Median(d);
}

struct Frame
{
    double ax = 0, ay = 0; // where u = v = 0, in survey coordinates
    double c = 1, s = 0;   // the columns' direction
    double U(double x, double y) const { return (x - ax) * c + (y - ay) * s; }
    double V(double x, double y) const { return -(x - ax) * s + (y - ay) * c; }
};

// The median distance across between neighbouring lines, from each line's mean.
template <typename In> double LineSpacing(const In& in, const Stations& s, const Frame& f)
{
    std::vector<double> across;
    across.reserve(s.lines.size());
    for (const Stations::Line& line : s.lines) {
        double sum = 0;
        for (quint32 k = line.begin; k < line.end; ++k)
            sum += f.V(in[s.input[k]].x, in[s.input[k]].y);
        across.push_back(sum / double(line.end - line.begin));
    }
    std::sort(across.begin(), across.end());
    std::vector<double> gaps;
    for (size_t k = 1; k < across.size(); ++k)
        if (across[k] - across[k - 1] > kSame)
            gaps.push_back(across[k] - across[k - 1]);
    return Median(gaps);
}

// What the first pass learns of one relation row.
struct Resolved
{
    qint32 source = -1; // -1: the row is not binned
    quint32 begin = 0;  // the receiver stations from the range's low end
    quint32 end = 0;    // to past its high end
    // Not 0: the line's stations are evenly numbered and the range's traces
    // are every stride-th from begin on.
    quint32 stride = 0;
};

struct Range
{
    double low = 0, high = 0, increment = 1, stations = 0;
};

// The range a row names; false when its numbers name none.
bool RangeOf(const SPSFoldRelation& r, Range* range)
{
    if (!finite(r.firstReceiver, r.lastReceiver) || !finite(r.sourceLine, r.sourcePoint) ||
        !std::isfinite(r.receiverLine))
        return false;
    range->low = std::min(r.firstReceiver, r.lastReceiver);
    range->high = std::max(r.firstReceiver, r.lastReceiver);
    range->increment = r.channelIncrement >= 1 ? r.channelIncrement : 1.0;
    if (!std::isfinite(range->increment))
        return false;
    range->stations = std::floor((range->high - range->low) / range->increment + kSame) + 1;
    return range->stations < kMaxStations;
}

// Whether the point is one of the range's stations, and which.
bool Aligned(const Range& range, double point, double* j)
{
    *j = std::round((point - range.low) / range.increment);
    return std::fabs(range.low + *j * range.increment - point) <= kSame;
}

// A row's traces on a line of evenly numbered stations whose step divides the
// increment: every m-th station from the first that is on the range's step.
void Stride(const Stations& receivers, const Stations::Line& line, const Range& range, Resolved& q)
{
    if (!line.regular || q.begin >= q.end)
        return;
    // Rounding aside, as the test below makes sure.
    const double m = std::round(range.increment * line.perStep);
    if (!(m >= 1) || std::fabs(m * line.step - range.increment) > 1e-9 * range.increment)
        return;
    const quint32 stride = m < double(q.end - q.begin) ? quint32(m) : q.end - q.begin;
    double j = 0;
    quint32 first = q.begin;
    while (first < q.end && first < q.begin + stride && !Aligned(range, receivers.point[first], &j))
        ++first;
    q.stride = stride;
    q.begin = first < q.begin + stride ? first : q.end;
}

// What one worker of the first pass gathers.
struct PrePass
{
    qint64 unusable = 0;
    qint64 unresolvedTraces = 0; // of rows whose source or receiver line is missing
    qint64 named = 0;            // traces the other rows name
    double uMin = std::numeric_limits<double>::infinity(), uMax = -uMin;
    double vMin = uMin, vMax = -uMin;
    std::vector<std::pair<quint32, quint32>> used; // per receiver line
};

template <typename In, typename Relations>
void ResolveRows(const In& sourceInput, const Stations& sources, const Stations& receivers,
                 const Relations& relations, const Frame& frame, size_t from, size_t to,
                 Resolved* resolved, PrePass& out)
{
    out.used.assign(receivers.lines.size(), {std::numeric_limits<quint32>::max(), quint32(0)});
    // Consecutive rows mostly name the same source and receiver line.
    double lastSourceLine = std::numeric_limits<double>::quiet_NaN(), lastSourcePoint = 0;
    qint32 lastSource = -1;
    double lastReceiverLine = std::numeric_limits<double>::quiet_NaN();
    qint32 lastLine = -1, lastFound = -1, lastSourceIndex = -1;
    double lastU = 0, lastV = 0;
    for (size_t k = from; k < to; ++k) {
        const SPSFoldRelation& r = relations[k];
        Resolved& q = resolved[k];
        q = Resolved();
        Range range;
        if (!RangeOf(r, &range)) {
            ++out.unusable;
            continue;
        }
        if (r.sourceLine != lastSourceLine || r.sourcePoint != lastSourcePoint) {
            lastSourceLine = r.sourceLine;
            lastSourcePoint = r.sourcePoint;
            lastSource = -1;
            const qint32 l = sources.FindLine(r.sourceLine, lastSourceIndex);
            lastSourceIndex = l >= 0 ? l : lastSourceIndex;
            if (l >= 0) {
                const Stations::Line& line = sources.lines[size_t(l)];
                const quint32 at = sources.LowerBound(line, r.sourcePoint - kSame);
                if (at < line.end && sources.point[at] <= r.sourcePoint + kSame)
                    lastSource = qint32(at);
            }
            if (lastSource >= 0) {
                const SPSFoldStation& s = sourceInput[sources.input[size_t(lastSource)]];
                lastU = frame.U(s.x, s.y);
                lastV = frame.V(s.x, s.y);
            }
        }
        if (r.receiverLine != lastReceiverLine) {
            lastReceiverLine = r.receiverLine;
            const qint32 l =
                receivers.FindLine(r.receiverLine, lastLine >= 0 ? lastLine : lastFound);
            lastFound = l >= 0 ? l : lastFound;
            lastLine = l;
        }
        if (lastSource < 0 || lastLine < 0) {
            out.unresolvedTraces += qint64(range.stations);
            continue;
        }
        const Stations::Line& line = receivers.lines[size_t(lastLine)];
        q.source = lastSource;
        q.begin = receivers.LowerBound(line, range.low - kSame);
        q.end = receivers.UpperBound(line, range.high + kSame);
        const quint32 reach = q.begin;
        Stride(receivers, line, range, q);
        out.named += qint64(range.stations);
        if (q.begin < q.end) {
            auto& used = out.used[size_t(lastLine)];
            used.first = std::min(used.first, reach);
            used.second = std::max(used.second, q.end);
            out.uMin = std::min(out.uMin, lastU);
            out.uMax = std::max(out.uMax, lastU);
            out.vMin = std::min(out.vMin, lastV);
            out.vMax = std::max(out.vMax, lastV);
        }
    }
}

// Bins traces into the rows [rowLo, rowHi) of the grid; traces that fall
// elsewhere are kept for later, so that workers never share a bin.
template <typename Relations> struct Binner
{
    const Stations* receivers;
    const float* su;
    const float* sv;
    const float* ru;
    const float* rv;
    const Relations* relations;
    const Resolved* resolved;
    quint32* fold;
    float* minOffset;
    float* maxOffset;
    int columns;
    float kx; // bins per unit of u + u (twice a midpoint's distance from the corner)
    float ky;
    bool simd; // bin numbers fit the 32-bit lanes
    bool avx2; // and the processor has eight of them

    struct Deferred
    {
        qint32 source;
        quint32 station;
    };

    void Bin(float us, float vs, quint32 i, int rowLo, int rowHi, std::vector<Deferred>& deferred,
             qint32 source) const
    {
        const float mu = us + ru[i];
        const float mv = vs + rv[i];
        const int c = int(mu * kx);
        const int r = int(mv * ky);
        if (unsigned(c) >= unsigned(columns) || unsigned(r - rowLo) >= unsigned(rowHi - rowLo)) {
            deferred.push_back({source, i});
            return;
        }
        const size_t at = size_t(r) * size_t(columns) + size_t(c);
        const float du = us - ru[i];
        const float dv = vs - rv[i];
        const float offset = du * du + dv * dv; // squared until the end
        ++fold[at];
        minOffset[at] = offset < minOffset[at] ? offset : minOffset[at];
        maxOffset[at] = offset > maxOffset[at] ? offset : maxOffset[at];
    }

#if defined(SPS_FOLD_AVX2)
    // As the four-lane loop of Contiguous, eight at a time, on processors
    // that have AVX2 (the package is built for all x86-64 processors): the
    // same operations lane by lane, so the bins come out the same. Returns
    // where it stopped.
    __attribute__((target("avx2"))) quint32 Contiguous8(float us, float vs, quint32 i, quint32 end,
                                                        int rowLo, int rowHi,
                                                        std::vector<Deferred>& deferred,
                                                        qint32 source) const
    {
        quint32* const folds = fold;
        float* const least = minOffset;
        float* const most = maxOffset;
        const __m256 us8 = _mm256_set1_ps(us), vs8 = _mm256_set1_ps(vs);
        const __m256 kx8 = _mm256_set1_ps(kx), ky8 = _mm256_set1_ps(ky);
        const __m256i columnBelow = _mm256_set1_epi32(-1), columnAbove = _mm256_set1_epi32(columns);
        const __m256i rowBelow = _mm256_set1_epi32(rowLo - 1), rowAbove = _mm256_set1_epi32(rowHi);
        const __m256i width = _mm256_set1_epi32(columns);
        const __m256i steps = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
        const __m256i one = _mm256_set1_epi32(1);
        for (; i + 8 <= end; i += 8) {
            const __m256 ru8 = _mm256_loadu_ps(ru + i), rv8 = _mm256_loadu_ps(rv + i);
            const __m256i c = _mm256_cvttps_epi32(_mm256_mul_ps(_mm256_add_ps(us8, ru8), kx8));
            const __m256i r = _mm256_cvttps_epi32(_mm256_mul_ps(_mm256_add_ps(vs8, rv8), ky8));
            const __m256i in = _mm256_and_si256(
                _mm256_and_si256(_mm256_cmpgt_epi32(c, columnBelow),
                                 _mm256_cmpgt_epi32(columnAbove, c)),
                _mm256_and_si256(_mm256_cmpgt_epi32(r, rowBelow), _mm256_cmpgt_epi32(rowAbove, r)));
            if (_mm256_movemask_epi8(in) != -1) {
                for (quint32 t = i; t < i + 8; ++t)
                    Bin(us, vs, t, rowLo, rowHi, deferred, source);
                continue;
            }
            const __m256 du = _mm256_sub_ps(us8, ru8), dv = _mm256_sub_ps(vs8, rv8);
            const __m256 offset = _mm256_add_ps(_mm256_mul_ps(du, du), _mm256_mul_ps(dv, dv));
            // Below 2^31 bins (simd), row * columns + column fits the lanes.
            const __m256i at = _mm256_add_epi32(_mm256_mullo_epi32(r, width), c);
            const quint32 first = quint32(_mm_cvtsi128_si32(_mm256_castsi256_si128(at)));
            const __m256i next = _mm256_add_epi32(_mm256_set1_epi32(qint32(first)), steps);
            if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(at, next)) == -1) {
                auto* f = reinterpret_cast<__m256i*>(folds + first);
                _mm256_storeu_si256(f, _mm256_add_epi32(_mm256_loadu_si256(f), one));
                _mm256_storeu_ps(least + first,
                                 _mm256_min_ps(_mm256_loadu_ps(least + first), offset));
                _mm256_storeu_ps(most + first,
                                 _mm256_max_ps(_mm256_loadu_ps(most + first), offset));
                continue;
            }
            alignas(32) quint32 index[8];
            alignas(32) float squared[8];
            _mm256_store_si256(reinterpret_cast<__m256i*>(index), at);
            _mm256_store_ps(squared, offset);
            for (int t = 0; t < 8; ++t) {
                const quint32 b = index[t];
                ++folds[b];
                least[b] = squared[t] < least[b] ? squared[t] : least[b];
                most[b] = squared[t] > most[b] ? squared[t] : most[b];
            }
        }
        return i;
    }
#endif

    // The traces of stations begin to end (not included) from one source,
    // four at a time where the processor can: their bins and offsets at once;
    // four neighbouring bins along a row, as the default bins along a line
    // have them, are updated at once too, others one by one (two may meet).
    qint64 Contiguous(float us, float vs, quint32 begin, quint32 end, int rowLo, int rowHi,
                      std::vector<Deferred>& deferred, qint32 source) const
    {
        quint32 i = begin;
#if defined(SPS_FOLD_AVX2)
        if (simd && avx2)
            i = Contiguous8(us, vs, i, end, rowLo, rowHi, deferred, source);
#endif
#if defined(__SSE2__)
        if (simd) {
            quint32* const folds = fold;
            float* const least = minOffset;
            float* const most = maxOffset;
            const float* const u = ru;
            const float* const v = rv;
            const __m128 us4 = _mm_set1_ps(us), vs4 = _mm_set1_ps(vs);
            const __m128 kx4 = _mm_set1_ps(kx), ky4 = _mm_set1_ps(ky);
            const __m128i columnBelow = _mm_set1_epi32(-1), columnAbove = _mm_set1_epi32(columns);
            const __m128i rowBelow = _mm_set1_epi32(rowLo - 1), rowAbove = _mm_set1_epi32(rowHi);
            const __m128i width = _mm_set1_epi32(columns);
            const __m128i steps = _mm_set_epi32(3, 2, 1, 0);
            const __m128i one = _mm_set1_epi32(1);
            for (; i + 4 <= end; i += 4) {
                const __m128 ru4 = _mm_loadu_ps(u + i), rv4 = _mm_loadu_ps(v + i);
                const __m128i c = _mm_cvttps_epi32(_mm_mul_ps(_mm_add_ps(us4, ru4), kx4));
                const __m128i r = _mm_cvttps_epi32(_mm_mul_ps(_mm_add_ps(vs4, rv4), ky4));
                const __m128i in = _mm_and_si128(
                    _mm_and_si128(_mm_cmpgt_epi32(c, columnBelow), _mm_cmplt_epi32(c, columnAbove)),
                    _mm_and_si128(_mm_cmpgt_epi32(r, rowBelow), _mm_cmplt_epi32(r, rowAbove)));
                if (_mm_movemask_epi8(in) != 0xffff) {
                    for (quint32 t = i; t < i + 4; ++t)
                        Bin(us, vs, t, rowLo, rowHi, deferred, source);
                    continue;
                }
                const __m128 du = _mm_sub_ps(us4, ru4), dv = _mm_sub_ps(vs4, rv4);
                const __m128 offset = _mm_add_ps(_mm_mul_ps(du, du), _mm_mul_ps(dv, dv));
                // row * columns + column, as SSE2 multiplies: lanes 0 and 2, then 1 and 3.
                const __m128i even = _mm_mul_epu32(r, width);
                const __m128i odd = _mm_mul_epu32(_mm_srli_epi64(r, 32), width);
                const __m128i at = _mm_add_epi32(
                    _mm_unpacklo_epi32(_mm_shuffle_epi32(even, _MM_SHUFFLE(0, 0, 2, 0)),
                                       _mm_shuffle_epi32(odd, _MM_SHUFFLE(0, 0, 2, 0))),
                    c);
                const quint32 first = quint32(_mm_cvtsi128_si32(at));
                const __m128i next = _mm_add_epi32(_mm_set1_epi32(qint32(first)), steps);
                if (_mm_movemask_epi8(_mm_cmpeq_epi32(at, next)) == 0xffff) {
                    auto* f = reinterpret_cast<__m128i*>(folds + first);
                    _mm_storeu_si128(f, _mm_add_epi32(_mm_loadu_si128(f), one));
                    _mm_storeu_ps(least + first, _mm_min_ps(_mm_loadu_ps(least + first), offset));
                    _mm_storeu_ps(most + first, _mm_max_ps(_mm_loadu_ps(most + first), offset));
                    continue;
                }
                alignas(16) quint32 index[4];
                alignas(16) float squared[4];
                _mm_store_si128(reinterpret_cast<__m128i*>(index), at);
                _mm_store_ps(squared, offset);
                for (int t = 0; t < 4; ++t) {
                    const quint32 b = index[t];
                    ++folds[b];
                    least[b] = squared[t] < least[b] ? squared[t] : least[b];
                    most[b] = squared[t] > most[b] ? squared[t] : most[b];
                }
            }
        }
#endif
        for (; i < end; ++i)
            Bin(us, vs, i, rowLo, rowHi, deferred, source);
        return qint64(end - begin);
    }

    // The traces of one row; how many it binned (deferred ones included).
    qint64 Row(size_t k, int rowLo, int rowHi, std::vector<Deferred>& deferred) const
    {
        const Resolved& q = resolved[k];
        const float us = su[q.source];
        const float vs = sv[q.source];
        if (q.stride == 1)
            return Contiguous(us, vs, q.begin, q.end, rowLo, rowHi, deferred, q.source);
        if (q.stride > 0) {
            qint64 count = 0;
            for (quint32 i = q.begin; i < q.end; i += q.stride, ++count)
                Bin(us, vs, i, rowLo, rowHi, deferred, q.source);
            return count;
        }
        // Stations not evenly numbered: each the range reaches, if it is on its step.
        Range range;
        RangeOf((*relations)[k], &range);
        const double* point = receivers->point.data();
        qint64 count = 0;
        double last = -1;
        for (quint32 i = q.begin; i < q.end; ++i) {
            double j = 0;
            if (!Aligned(range, point[i], &j) || j <= last)
                continue;
            last = j;
            Bin(us, vs, i, rowLo, rowHi, deferred, q.source);
            ++count;
        }
        return count;
    }

    // Rows in the order given, their data fetched ahead of their turn.
    qint64 Rows(const quint32* order, size_t n, int rowLo, int rowHi,
                std::vector<Deferred>& deferred) const
    {
        constexpr size_t kAhead = 16;
        qint64 count = 0;
        for (size_t i = 0; i < n; ++i) {
            if (i + kAhead < n)
                __builtin_prefetch(&resolved[order[i + kAhead]]);
            if (i + kAhead / 2 < n) {
                const qint32 source = resolved[order[i + kAhead / 2]].source;
                __builtin_prefetch(&su[source]);
                __builtin_prefetch(&sv[source]);
            }
            count += Row(order[i], rowLo, rowHi, deferred);
        }
        return count;
    }
};

bool Cancelled(const SPSFoldOptions& o)
{
    return o.cancel && o.cancel->load(std::memory_order_relaxed);
}

bool Fail(QString* errorText, const QString& text)
{
    if (errorText)
        *errorText = text;
    return false;
}

// Runs work(t) for every t in [0, threads), on threads of their own but the
// first; work that no thread could be started for runs on this one. An
// exception of any part is thrown again once all have ended.
template <typename Work> void Parallel(int threads, const Work& work)
{
    std::vector<std::exception_ptr> failures(static_cast<size_t>(threads));
    const auto run = [&](int t) {
        try {
            work(t);
        } catch (...) {
            failures[size_t(t)] = std::current_exception();
        }
    };
    std::vector<std::thread> pool;
    int started = 1;
    try {
        pool.reserve(size_t(threads - 1));
        for (; started < threads; ++started)
            pool.emplace_back(run, started);
    } catch (const std::exception&) {
    }
    run(0);
    for (int t = started; t < threads; ++t)
        run(t);
    for (std::thread& thread : pool)
        thread.join();
    for (const std::exception_ptr& failure : failures)
        if (failure)
            std::rethrow_exception(failure);
}

struct Point
{
    qint64 x, y;
};

qint64 Cross(const Point& o, const Point& a, const Point& b)
{
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

qint64 FloorDiv(qint64 a, qint64 b) // b > 0
{
    return a / b - (a % b < 0 ? 1 : 0);
}

qint64 CeilDiv(qint64 a, qint64 b) // b > 0
{
    return -FloorDiv(-a, b);
}

// The outline: per row, the columns whose centres lie in the convex hull of
// the centres of the bins that hold traces (exactly, in whole bin numbers).
void Outline(SPSFoldGrid& grid, const std::vector<std::pair<int, int>>& occupied)
{
    grid.inside.assign(size_t(grid.rows), SPSFoldGrid::Span());
    std::vector<Point> points;
    for (int row = 0; row < grid.rows; ++row) {
        const auto& o = occupied[size_t(row)];
        if (o.first > o.second)
            continue;
        points.push_back({o.first, row});
        if (o.second != o.first)
            points.push_back({o.second, row});
    }
    if (points.empty())
        return;
    std::sort(points.begin(), points.end(),
              [](const Point& a, const Point& b) { return a.x != b.x ? a.x < b.x : a.y < b.y; });
    // Andrew's monotone chain, collinear points left out.
    std::vector<Point> hull(2 * points.size());
    size_t n = 0;
    for (const Point& p : points) {
        while (n >= 2 && Cross(hull[n - 2], hull[n - 1], p) <= 0)
            --n;
        hull[n++] = p;
    }
    for (size_t i = points.size() - 1, lower = n + 1; i-- > 0;) {
        while (n >= lower && Cross(hull[n - 2], hull[n - 1], points[i]) <= 0)
            --n;
        hull[n++] = points[i];
    }
    if (n > 1)
        --n; // the first point closes the chain again
    hull.resize(n);

    std::vector<qint64> lo(size_t(grid.rows), std::numeric_limits<qint64>::max());
    std::vector<qint64> hi(size_t(grid.rows), std::numeric_limits<qint64>::min());
    for (size_t e = 0; e < hull.size(); ++e) {
        Point p = hull[e];
        Point q = hull[(e + 1) % hull.size()];
        if (p.y > q.y)
            std::swap(p, q);
        for (qint64 y = p.y; y <= q.y; ++y) {
            qint64 left = 0, right = 0;
            if (p.y == q.y) {
                left = std::min(p.x, q.x);
                right = std::max(p.x, q.x);
            } else {
                const qint64 num = (y - p.y) * (q.x - p.x);
                const qint64 den = q.y - p.y;
                left = p.x + CeilDiv(num, den);
                right = p.x + FloorDiv(num, den);
            }
            lo[size_t(y)] = std::min(lo[size_t(y)], left);
            hi[size_t(y)] = std::max(hi[size_t(y)], right);
        }
    }
    for (int row = 0; row < grid.rows; ++row)
        if (lo[size_t(row)] <= hi[size_t(row)])
            grid.inside[size_t(row)] = {int(std::max<qint64>(0, lo[size_t(row)])),
                                        int(std::min<qint64>(grid.columns - 1, hi[size_t(row)]))};
}

void Summarise(const SPSFoldGrid& grid, SPSFoldSummary& summary)
{
    quint32 most = 0;
    for (quint32 fold : grid.fold) {
        summary.binsWithFold += fold > 0;
        most = std::max(most, fold);
    }
    // The median by counting fold values, or, for a huge fold, by selection.
    constexpr quint32 kCounted = 1u << 20;
    std::vector<qint64> counts;
    std::vector<quint32> values;
    if (most < kCounted)
        counts.assign(size_t(most) + 1, 0);
    quint32 least = std::numeric_limits<quint32>::max();
    for (int row = 0; row < grid.rows; ++row)
        for (int column = grid.inside[size_t(row)].first; column <= grid.inside[size_t(row)].last;
             ++column) {
            const quint32 fold = grid.fold[grid.Index(column, row)];
            ++summary.binsInside;
            summary.emptyBinsInside += fold == 0;
            least = std::min(least, fold);
            if (most < kCounted)
                ++counts[fold];
            else
                values.push_back(fold);
        }
    if (summary.binsInside == 0)
        return;
    summary.minFold = least;
    summary.maxFold = most;
    const auto nth = [&](qint64 n) -> double {
        if (most >= kCounted) {
            std::nth_element(values.begin(), values.begin() + n, values.end());
            return values[size_t(n)];
        }
        for (size_t f = 0; f < counts.size(); ++f) {
            if (n < counts[f])
                return double(f);
            n -= counts[f];
        }
        return double(most);
    };
    const qint64 n = summary.binsInside;
    summary.medianFold = n % 2 ? nth(n / 2) : (nth(n / 2 - 1) + nth(n / 2)) / 2;
}
} // namespace

QPointF SPSFoldGrid::ColumnStep() const
{
    const double a = azimuth * kPi / 180.0;
    return QPointF(std::sin(a) * binX, std::cos(a) * binX);
}

QPointF SPSFoldGrid::RowStep() const
{
    const double a = azimuth * kPi / 180.0;
    return QPointF(-std::cos(a) * binY, std::sin(a) * binY);
}

QPointF SPSFoldGrid::BinCentre(int column, int row) const
{
    return QPointF(cornerX, cornerY) + ColumnStep() * (column + 0.5) + RowStep() * (row + 0.5);
}

bool SPSFoldGrid::BinAt(double x, double y, int* column, int* row) const
{
    if (IsEmpty())
        return false;
    const double a = azimuth * kPi / 180.0;
    const double dx = x - cornerX, dy = y - cornerY;
    const double u = (dx * std::sin(a) + dy * std::cos(a)) / binX;
    const double v = (-dx * std::cos(a) + dy * std::sin(a)) / binY;
    if (!(u >= 0 && u < columns && v >= 0 && v < rows))
        return false;
    *column = int(u);
    *row = int(v);
    return true;
}

namespace {
// A point table of the survey check as the fold's stations, its lines by
// their ids in the relation table's lines.
class CheckStations
{
public:
    CheckStations(const SPSCheckPointTable& table, const SPSCheckLines& lines)
        : m_Table(table), m_Points(table.points), m_Lines(size_t(table.lines.Count()), kNaN)
    {
        for (qint32 id = 0; id < table.lines.Count(); ++id)
            if (const qint32 found = lines.Find(table.lines.Name(id)); found >= 0)
                m_Lines[size_t(id)] = double(found);
    }
    size_t size() const { return m_Points.size(); }
    SPSFoldStation operator[](size_t i) const
    {
        const SPSCheckPoint& p = m_Points[i];
        const bool placed = p.hasXY && !p.nonFinite;
        return {m_Lines[size_t(p.line)], p.numeric ? m_Table.Value(p.value) : kNaN,
                placed ? m_Table.Value(p.x) : kNaN, placed ? m_Table.Value(p.y) : kNaN};
    }

private:
    const SPSCheckPointTable& m_Table;
    const SPSLargeVector<SPSCheckPoint>& m_Points;
    std::vector<double> m_Lines;
};

class CheckRelations
{
public:
    explicit CheckRelations(const SPSCheckRelationTable& table) : m_Table(table) {}
    size_t size() const { return m_Table.rows.size(); }
    SPSFoldRelation operator[](size_t k) const
    {
        const SPSCheckRelation& r = m_Table.rows[k];
        SPSFoldRelation f;
        f.sourceLine = r.sourceLine;
        f.sourcePoint = m_Table.Value(r.sourcePoint);
        f.firstChannel = m_Table.Value(r.firstChannel);
        f.lastChannel = m_Table.Value(r.lastChannel);
        f.channelIncrement = m_Table.Value(r.increment);
        f.receiverLine = r.receiverLine;
        f.firstReceiver = m_Table.Value(r.firstReceiver);
        f.lastReceiver = m_Table.Value(r.lastReceiver);
        return f;
    }

private:
    const SPSCheckRelationTable& m_Table;
};
} // namespace

bool SPSFold::Compute(const SPSSurveyCheckTables& tables, const SPSFoldOptions& options,
                      SPSFoldResult* result, QString* errorText)
{
    const SPSCheckLines& lines = tables.relations.lines;
    const CheckStations sources(tables.sources, lines), receivers(tables.receivers, lines);
    if (Compute_(sources, receivers, CheckRelations(tables.relations), options, result, errorText))
        return true;
    *result = SPSFoldResult();
    return false;
}

bool SPSFold::Compute(const std::vector<SPSFoldStation>& sources,
                      const std::vector<SPSFoldStation>& receivers,
                      const std::vector<SPSFoldRelation>& relations, const SPSFoldOptions& options,
                      SPSFoldResult* result, QString* errorText)
{
    // A failure leaves no part of a result behind.
    if (Compute_(sources, receivers, relations, options, result, errorText))
        return true;
    *result = SPSFoldResult();
    return false;
}

template <typename In, typename Relations>
bool SPSFold::Compute_(const In& sourceInput, const In& receiverInput, const Relations& relations,
                       const SPSFoldOptions& options, SPSFoldResult* result, QString* errorText)
{
    *result = SPSFoldResult();
    const auto invalid = [](double size) { return !(size >= 0) || !std::isfinite(size); };
    if (invalid(options.binX) || invalid(options.binY))
        return Fail(errorText, tr("The bin size %1 x %2 is not valid: give sizes greater than 0.")
                                   .arg(options.binX)
                                   .arg(options.binY));
    const int threads =
        std::clamp(options.threads > 0 ? options.threads : int(std::thread::hardware_concurrency()),
                   1, kMaxThreads);
    SPSFoldGrid& grid = result->grid;
    SPSFoldSummary& summary = result->summary;
    try {
        // Each table by itself: its stations in order, its lines' direction
        // and its station spacing.
        Stations sources, receivers;
        bool along[2] = {false, false};
        double angles[2] = {0, 0}, spacings[2] = {0, 0};
        Parallel(std::min(threads, 2), [&](int t) {
            for (int table = t; table < 2; table += std::min(threads, 2)) {
                const In& in = table ? receiverInput : sourceInput;
                Stations& s = table ? receivers : sources;
                BuildStations(in, s);
                along[table] = LinesDirection(in, s, &angles[table]);
                spacings[table] = StationSpacing(in, s, along[table], angles[table]);
            }
        });
        if (sources.size() == 0 || receivers.size() == 0)
            return Fail(errorText,
                        tr("The fold needs source and receiver stations with coordinates."));

        // The grid runs along the receiver lines.
        Frame frame;
        if (along[1]) {
            frame.c = std::cos(angles[1]);
            frame.s = std::sin(angles[1]);
            // Lines that run exactly east or north give exact bins.
            if (std::fabs(frame.s) < 1e-12) {
                frame.c = 1;
                frame.s = 0;
            } else if (std::fabs(frame.c) < 1e-12) {
                frame.c = 0;
                frame.s = 1;
            }
        }
        if (along[0]) {
            double apart = std::fabs(angles[0] - std::atan2(frame.s, frame.c));
            apart = std::min(apart, kPi - apart);
            summary.twoD = apart < kPi / 4;
        }
        // Bin centres fall on the midpoint of the first source and the first
        // receiver, so that evenly laid stations have their midpoints there.
        {
            const SPSFoldStation& s = sourceInput[sources.input[0]];
            const SPSFoldStation& r = receiverInput[receivers.input[0]];
            frame.ax = (s.x + r.x) / 2;
            frame.ay = (s.y + r.y) / 2;
        }
        double dx = options.binX;
        double dy = options.binY;
        if (dx == 0)
            dx = (spacings[1] > 0 ? spacings[1] : spacings[0]) / 2;
        if (dy == 0) {
            if (!summary.twoD)
                dy = spacings[0] / 2;
            if (dy == 0)
                dy = LineSpacing(receiverInput, receivers, frame);
            if (dy == 0)
                dy = dx;
        }
        dx = options.binX > 0 ? dx : Significant(dx);
        dy = options.binY > 0 ? dy : Significant(dy);
        if (!(dx > 0) || !(dy > 0))
            return Fail(errorText, tr("The stations' spacing gives no bin size; give one."));
        if (Cancelled(options))
            return Fail(errorText, tr("The fold was cancelled."));

        // First pass: which stations each row names, and what the rows reach.
        std::vector<Resolved> resolved(relations.size());
        std::vector<PrePass> pre(static_cast<size_t>(threads));
        Parallel(threads, [&](int t) {
            const size_t n = relations.size();
            ResolveRows(sourceInput, sources, receivers, relations, frame,
                        n * size_t(t) / size_t(threads), n * size_t(t + 1) / size_t(threads),
                        resolved.data(), pre[size_t(t)]);
        });
        PrePass all = std::move(pre[0]);
        for (size_t t = 1; t < pre.size(); ++t) {
            const PrePass& p = pre[t];
            all.unusable += p.unusable;
            all.unresolvedTraces += p.unresolvedTraces;
            all.named += p.named;
            all.uMin = std::min(all.uMin, p.uMin);
            all.uMax = std::max(all.uMax, p.uMax);
            all.vMin = std::min(all.vMin, p.vMin);
            all.vMax = std::max(all.vMax, p.vMax);
            for (size_t l = 0; l < all.used.size(); ++l) {
                all.used[l].first = std::min(all.used[l].first, p.used[l].first);
                all.used[l].second = std::max(all.used[l].second, p.used[l].second);
            }
        }
        pre.clear();
        summary.unusableRows = all.unusable;
        if (Cancelled(options))
            return Fail(errorText, tr("The fold was cancelled."));

        // The grid holds every midpoint of the stations the rows reach.
        double ruMin = std::numeric_limits<double>::infinity(), ruMax = -ruMin;
        double rvMin = ruMin, rvMax = -ruMin;
        for (size_t l = 0; l < receivers.lines.size(); ++l) {
            Stations::Line& line = receivers.lines[l];
            line.usedBegin = all.used[l].first;
            line.usedEnd = all.used[l].second;
            for (quint32 k = line.usedBegin; k < line.usedEnd; ++k) {
                const SPSFoldStation& r = receiverInput[receivers.input[k]];
                const double u = frame.U(r.x, r.y), v = frame.V(r.x, r.y);
                ruMin = std::min(ruMin, u);
                ruMax = std::max(ruMax, u);
                rvMin = std::min(rvMin, v);
                rvMax = std::max(rvMax, v);
            }
        }
        grid.binX = dx;
        grid.binY = dy;
        {
            double a = 90.0 - std::atan2(frame.s, frame.c) * 180.0 / kPi;
            grid.azimuth = a >= 180.0 ? a - 180.0 : a;
        }
        summary.skippedTraces = all.unresolvedTraces + all.named;
        if (!(ruMin <= ruMax) || !(all.uMin <= all.uMax)) {
            // No row reaches a station of both tables: an empty grid.
            grid.cornerX = frame.ax;
            grid.cornerY = frame.ay;
            return true;
        }
        const double cLo = std::floor((all.uMin + ruMin) / 2 / dx + 0.5);
        const double cHi = std::floor((all.uMax + ruMax) / 2 / dx + 0.5);
        const double rLo = std::floor((all.vMin + rvMin) / 2 / dy + 0.5);
        const double rHi = std::floor((all.vMax + rvMax) / 2 / dy + 0.5);
        const double columns = cHi - cLo + 1, rows = rHi - rLo + 1;
        if (!(columns * rows <= double(options.maxBins)))
            return Fail(errorText,
                        tr("The fold grid would need %1 x %2 bins, more than %3: give larger bins.")
                            .arg(columns, 0, 'f', 0)
                            .arg(rows, 0, 'f', 0)
                            .arg(options.maxBins));
        grid.columns = int(columns);
        grid.rows = int(rows);
        const double cornerU = (cLo - 0.5) * dx, cornerV = (rLo - 0.5) * dy;
        grid.cornerX = frame.ax + cornerU * frame.c - cornerV * frame.s;
        grid.cornerY = frame.ay + cornerU * frame.s + cornerV * frame.c;
        if (grid.cornerX == 0)
            grid.cornerX = 0; // no "-0" in the files
        if (grid.cornerY == 0)
            grid.cornerY = 0;

        // The stations in the grid's frame, as compact as the bins need them.
        const auto place = [&](const In& in, Stations& s) {
            s.u.resize(s.size());
            s.v.resize(s.size());
            for (size_t k = 0; k < s.size(); ++k) {
                const SPSFoldStation& p = in[s.input[k]];
                s.u[k] = float(frame.U(p.x, p.y) - cornerU);
                s.v[k] = float(frame.V(p.x, p.y) - cornerV);
            }
            std::vector<quint32>().swap(s.input);
        };
        Parallel(std::min(threads, 2), [&](int t) {
            if (t == 0)
                place(sourceInput, sources);
            if (t == 1 || threads == 1)
                place(receiverInput, receivers);
        });
        std::vector<double>().swap(sources.point);

        Binner<Relations> binner{&receivers,
                                 sources.u.data(),
                                 sources.v.data(),
                                 receivers.u.data(),
                                 receivers.v.data(),
                                 &relations,
                                 resolved.data(),
                                 nullptr,
                                 nullptr,
                                 nullptr,
                                 grid.columns,
                                 float(0.5 / dx),
                                 float(0.5 / dy),
                                 size_t(grid.columns) * size_t(grid.rows) < (size_t(1) << 31),
                                 HasAvx2()};

        // Rows go by the bin row their midpoints start in, so that the rows
        // that bin into the same bins follow one another while those stay in
        // the cache. Workers bin the rows of stripes of bin rows: a stripe's
        // rows write into it and the next, so stripes two apart never share a
        // bin; even stripes run together, then odd ones. Rows that reach
        // across more than a stripe are binned alone afterwards.
        const auto binnable = [&](size_t k) {
            return resolved[k].source >= 0 && resolved[k].begin < resolved[k].end;
        };
        // From the row's end stations: a trace that falls outside the band
        // all the same (a crooked line) is deferred, not lost.
        const auto bandOf = [&](size_t k, int* first, int* last) {
            const Resolved& q = resolved[k];
            const float vs = sources.v[size_t(q.source)];
            const float a = receivers.v[q.begin], b = receivers.v[q.end - 1];
            const float low =
                std::clamp((vs + std::min(a, b)) * binner.ky, -1.0f, float(grid.rows));
            const float high =
                std::clamp((vs + std::max(a, b)) * binner.ky, -1.0f, float(grid.rows));
            // Within [-1, rows], the floor is a cast (std::floor is a call).
            const auto floor = [](float x) { return int(x) - (float(int(x)) > x ? 1 : 0); };
            *first = std::max(0, floor(low) - 1);
            *last = std::min(grid.rows - 1, floor(high) + 1);
        };
        int stripeRows = grid.rows;
        int stripes = 1;
        bool parallel = false;
        std::vector<size_t> start;
        std::vector<quint32> alone, order;
        const auto orderRows = [&] {
            if (threads > 1 && grid.rows >= 4) {
                // The stripe holds the bands of all but the widest few rows
                // (of a sample of them).
                const size_t step = std::max<size_t>(1, relations.size() >> 16);
                std::vector<qint64> heights(size_t(grid.rows) + 1, 0);
                qint64 sampled = 0;
                for (size_t k = 0; k < relations.size(); k += step) {
                    if (!binnable(k))
                        continue;
                    int first = 0, last = 0;
                    bandOf(k, &first, &last);
                    ++heights[size_t(std::max(1, last - first + 1))];
                    ++sampled;
                }
                qint64 within = 0;
                int height = 1;
                for (; height <= grid.rows; ++height) {
                    within += heights[size_t(height)];
                    if (within * 1000 >= sampled * 995)
                        break;
                }
                stripeRows = std::max(1, height);
            }
            stripes = (grid.rows + stripeRows - 1) / stripeRows;
            parallel = threads > 1 && stripes >= 4;
            if (!parallel)
                stripeRows = grid.rows;
            // A counting sort by the band's first bin row; bands wider than a
            // stripe aside.
            // Each row's first bin row is kept from the count for the fill,
            // -1 for a row not binned here.
            std::vector<qint32> firsts(relations.size(), -1);
            start.assign(size_t(grid.rows) + 1, 0);
            for (size_t k = 0; k < relations.size(); ++k) {
                if (!binnable(k))
                    continue;
                int first = 0, last = 0;
                bandOf(k, &first, &last);
                if (last - first + 1 > stripeRows) {
                    alone.push_back(quint32(k));
                } else {
                    ++start[size_t(first) + 1];
                    firsts[k] = first;
                }
            }
            for (size_t r = 1; r < start.size(); ++r)
                start[r] += start[r - 1];
            order.resize(start.back());
            std::vector<size_t> fill(start.begin(), start.end() - 1);
            for (size_t k = 0; k < relations.size(); ++k)
                if (firsts[k] >= 0)
                    order[fill[size_t(firsts[k])]++] = quint32(k);
        };
        // The bins are made while the rows are put in order.
        const auto makeBins = [&] {
            const size_t n = size_t(grid.columns) * size_t(grid.rows);
            grid.fold.assign(n, 0);
            grid.minOffset.assign(n, std::numeric_limits<float>::infinity());
            grid.maxOffset.assign(n, 0);
        };
        Parallel(std::min(threads, 2), [&](int t) {
            if (t == 0)
                orderRows();
            if (t == 1 || threads == 1)
                makeBins();
        });
        binner.fold = grid.fold.data();
        binner.minOffset = grid.minOffset.data();
        binner.maxOffset = grid.maxOffset.data();
        const auto stripeBegin = [&](int s) {
            return start[size_t(std::min(grid.rows, s * stripeRows))];
        };

        std::vector<std::vector<typename Binner<Relations>::Deferred>> deferred(
            static_cast<size_t>(threads));
        std::vector<qint64> binned(static_cast<size_t>(threads), 0);
        std::atomic<bool> stopped{false};
        // Rows a worker takes at a time, small enough to see a cancel soon.
        constexpr size_t kChunk = 1 << 14;
        const auto run = [&](size_t from, size_t to, int rowLo, int rowHi, int t) {
            qint64 count = 0;
            for (size_t i = from; i < to && !stopped; i += kChunk) {
                if (Cancelled(options))
                    stopped = true;
                count += binner.Rows(order.data() + i, std::min(kChunk, to - i), rowLo, rowHi,
                                     deferred[size_t(t)]);
            }
            binned[size_t(t)] += count;
        };
        if (parallel) {
            for (int parity = 0; parity < 2 && !stopped; ++parity) {
                std::atomic<int> next{parity};
                Parallel(threads, [&](int t) {
                    for (int s = next.fetch_add(2); s < stripes && !stopped; s = next.fetch_add(2))
                        run(stripeBegin(s), stripeBegin(s + 1), s * stripeRows,
                            std::min(grid.rows, (s + 2) * stripeRows), t);
                });
            }
        } else {
            run(0, order.size(), 0, grid.rows, 0);
        }
        std::vector<quint32>().swap(order);
        if (!stopped && !alone.empty()) {
            order.swap(alone);
            run(0, order.size(), 0, grid.rows, 0);
        }
        if (stopped) {
            *result = SPSFoldResult();
            return Fail(errorText, tr("The fold was cancelled."));
        }
        // Traces that fell outside their worker's stripe (or, by rounding, the
        // grid), binned alone into the bin nearest to them.
        for (const auto& list : deferred)
            for (const auto& d : list) {
                const float us = sources.u[size_t(d.source)], vs = sources.v[size_t(d.source)];
                const float mu = us + receivers.u[d.station], mv = vs + receivers.v[d.station];
                const int c =
                    int(std::clamp(std::floor(mu * binner.kx), 0.0f, float(grid.columns - 1)));
                const int r =
                    int(std::clamp(std::floor(mv * binner.ky), 0.0f, float(grid.rows - 1)));
                const size_t at = grid.Index(c, r);
                const float du = us - receivers.u[d.station], dv = vs - receivers.v[d.station];
                const float offset = du * du + dv * dv;
                ++grid.fold[at];
                grid.minOffset[at] = std::min(grid.minOffset[at], offset);
                grid.maxOffset[at] = std::max(grid.maxOffset[at], offset);
            }
        for (qint64 n : binned)
            summary.traces += n;
        summary.skippedTraces = all.unresolvedTraces + all.named - summary.traces;

        // Offsets from their squares; the rows' occupied columns for the outline.
        std::vector<std::pair<int, int>> occupied(size_t(grid.rows), {grid.columns, -1});
        Parallel(threads, [&](int t) {
            for (int row = grid.rows * t / threads; row < grid.rows * (t + 1) / threads; ++row) {
                auto& o = occupied[size_t(row)];
                for (size_t at = grid.Index(0, row), end = at + size_t(grid.columns); at < end;
                     ++at) {
                    if (grid.fold[at] == 0) {
                        grid.minOffset[at] = 0;
                        continue;
                    }
                    grid.minOffset[at] = std::sqrt(grid.minOffset[at]);
                    grid.maxOffset[at] = std::sqrt(grid.maxOffset[at]);
                    const int column = int(at - grid.Index(0, row));
                    o.first = std::min(o.first, column);
                    o.second = column;
                }
            }
        });
        Outline(grid, occupied);
        Summarise(grid, summary);
    } catch (const std::bad_alloc&) {
        const int columns = grid.columns, rows = grid.rows;
        *result = SPSFoldResult();
        return Fail(errorText,
                    tr("Not enough memory for the fold of %1 x %2 bins.").arg(columns).arg(rows));
    }
    return true;
}

bool SPSFold::ReadBinSize(const QString& text, SPSFoldOptions* options, QString* errorText)
{
    const QStringList sizes = text.split(u',');
    if (sizes.size() != 2) {
        return Fail(
            errorText,
            QStringLiteral("invalid value \"%1\" for --bin: DX,DY is expected, two sizes and "
                           "a comma between them")
                .arg(text));
    }
    double values[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
        bool ok = false;
        values[i] = sizes.at(i).trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(values[i])) {
            return Fail(errorText,
                        QStringLiteral("invalid value \"%1\" for --bin: \"%2\" is not a number")
                            .arg(text, sizes.at(i)));
        }
        if (!(values[i] > 0)) {
            return Fail(errorText,
                        QStringLiteral("invalid value \"%1\" for --bin: a bin size must be greater "
                                       "than 0")
                            .arg(text));
        }
    }
    options->binX = values[0];
    options->binY = values[1];
    return true;
}
