#include "SPSFold.h"
#include "SPSFoldGridFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <random>

namespace {
struct Survey
{
    std::vector<SPSFoldStation> sources;
    std::vector<SPSFoldStation> receivers;
    std::vector<SPSFoldRelation> relations;
    SPSFoldOptions options;
};

// A survey point and the fold its bin must have.
struct Probe
{
    double x, y;
    quint32 fold;
    // Checked when not negative.
    double minOffset = -1, maxOffset = -1;
};

struct Expected
{
    qint64 traces = 0;
    qint64 skipped = 0;
    qint64 unusable = 0;
    quint32 maxFold = 0;
    double binX = 0, binY = 0, azimuth = 90;
    bool twoD = false;
    // Checked when not negative.
    qint64 emptyInside = -1;
    double medianFold = -1;
    std::vector<Probe> probes;
};

SPSFoldRelation Row(double sourceLine, double sourcePoint, double receiverLine, double first,
                    double last, double increment = 1)
{
    SPSFoldRelation r;
    r.sourceLine = sourceLine;
    r.sourcePoint = sourcePoint;
    r.receiverLine = receiverLine;
    r.firstReceiver = first;
    r.lastReceiver = last;
    r.channelIncrement = increment;
    r.firstChannel = 1;
    r.lastChannel = std::fabs(last - first) / std::max(1.0, increment) + 1;
    return r;
}

// Stations and probes turned by the angle (degrees, anticlockwise) about the
// origin, then moved to where survey coordinates lie.
void Turn(Survey& s, Expected& e, double degrees)
{
    const double a = degrees * M_PI / 180, c = std::cos(a), n = std::sin(a);
    const auto turn = [&](double& x, double& y) {
        const double tx = x * c - y * n, ty = x * n + y * c;
        x = 600000 + tx;
        y = 4200000 + ty;
    };
    for (auto* table : {&s.sources, &s.receivers})
        for (SPSFoldStation& p : *table)
            turn(p.x, p.y);
    for (Probe& p : e.probes)
        turn(p.x, p.y);
    e.azimuth = 90 - degrees;
}

// A 2D line: receivers at every station 1-200, 25 m apart, a shot at every
// second station from 25 to 175 into 24 channels on either side. Bin b (of
// half a station) has a trace of shot p when 1 <= |b - 2p| <= 24.
void SplitSpread(Survey& s, Expected& e)
{
    for (int p = 1; p <= 200; ++p)
        s.receivers.push_back({1, double(p), 25.0 * (p - 1), 0});
    std::vector<int> shots;
    for (int p = 25; p <= 175; p += 2) {
        shots.push_back(p);
        s.sources.push_back({1, double(p), 25.0 * (p - 1), 0});
        s.relations.push_back(Row(1, p, 1, p - 24, p - 1));
        s.relations.push_back(Row(1, p, 1, p + 1, p + 24));
    }
    e.traces = qint64(shots.size()) * 48;
    e.maxFold = 48 / (2 * 2);
    e.binX = e.binY = 12.5;
    e.twoD = true;
    e.emptyInside = 0;
    // Its traces are 25 m * |b - 2p| long.
    for (int b = 20; b <= 380; ++b) {
        quint32 fold = 0;
        int shortest = 1000, longest = 0;
        for (int p : shots)
            if (std::abs(b - 2 * p) >= 1 && std::abs(b - 2 * p) <= 24) {
                ++fold;
                shortest = std::min(shortest, std::abs(b - 2 * p));
                longest = std::max(longest, std::abs(b - 2 * p));
            }
        e.probes.push_back({12.5 * b - 25, 0, fold, fold ? 25.0 * shortest : 0.0, 25.0 * longest});
    }
}

// Pairs (i, a), 0 <= i < n, 0 <= a < m, with i + a = k.
quint32 Pairs(int k, int n, int m)
{
    return quint32(std::max(0, std::min({k, n - 1, m - 1, n + m - 2 - k}) + 1));
}

// An orthogonal patch that every shot records whole: 3 receiver lines 50 m
// apart, 8 stations 25 m apart, east; 4 source lines 25 m apart, 3 points 50
// m apart, north. The midpoint of receiver (i, j) and shot (a, b) is bin
// (i + a, j + b), so the fold tapers as the pairs that sum to each.
void FixedSpread(Survey& s, Expected& e)
{
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 8; ++i)
            s.receivers.push_back({double(j + 1), double(i + 1), 25.0 * i, 50.0 * j});
    for (int a = 0; a < 4; ++a)
        for (int b = 0; b < 3; ++b) {
            s.sources.push_back({double(11 + a), double(b + 1), 25.0 * a, 50.0 * b});
            for (int j = 0; j < 3; ++j)
                s.relations.push_back(Row(11 + a, b + 1, j + 1, 1, 8));
        }
    e.traces = 12 * 24;
    e.maxFold = 12;
    e.binX = 12.5;
    e.binY = 25;
    e.emptyInside = 0;
    e.medianFold = 4;
    for (int u = 0; u < 11; ++u)
        for (int v = 0; v < 5; ++v)
            e.probes.push_back({12.5 * u, 25.0 * v, Pairs(u, 8, 4) * Pairs(v, 3, 3)});
}

// Every shot records the 5 stations about it on its own receiver line and the
// two beside it, 20 lines of 20 of both; the shots of lines 6-12, points 3-6
// have no X rows. Bin (u, v) has traces of shot (a, b) for |u - 2a| <= 2 and
// |v - 2b| <= 1: none left for u 13-23, v 6-12. Ranges at the lines' ends
// reach past them.
void MissingPatch(Survey& s, Expected& e)
{
    constexpr int kN = 20, kLines = 10;
    for (int j = 0; j < kLines; ++j)
        for (int i = 0; i < kN; ++i)
            s.receivers.push_back({double(100 + j), double(i + 1), 25.0 * i, 50.0 * j});
    const auto missing = [](int a, int b) { return a >= 6 && a <= 12 && b >= 3 && b <= 6; };
    for (int a = 0; a < kN; ++a)
        for (int b = 0; b < kLines; ++b) {
            s.sources.push_back({double(200 + a), double(b + 1), 25.0 * a, 50.0 * b});
            if (missing(a, b))
                continue;
            for (int j = std::max(0, b - 1); j <= std::min(kLines - 1, b + 1); ++j) {
                s.relations.push_back(Row(200 + a, b + 1, 100 + j, a - 1, a + 3));
                for (int i = a - 2; i <= a + 2; ++i)
                    (i < 0 || i >= kN ? e.skipped : e.traces) += 1;
            }
        }
    for (int u = 0; u <= 2 * (kN - 1); ++u)
        for (int v = 0; v <= 2 * (kLines - 1); ++v) {
            quint32 fold = 0;
            for (int a = 0; a < kN; ++a)
                for (int b = 0; b < kLines; ++b)
                    fold += !missing(a, b) && std::abs(u - 2 * a) <= 2 && u - a >= 0 &&
                            u - a < kN && std::abs(v - 2 * b) <= 1 && v - b >= 0 && v - b < kLines;
            e.maxFold = std::max(e.maxFold, fold);
            e.probes.push_back({12.5 * u, 25.0 * v, fold});
        }
    e.binX = 12.5;
    e.binY = 25;
    e.emptyInside = 11 * 7;
}

// One shot at (0, -50) into receiver line 1 (points 1-10), line 2 (points
// 2, 4, ... 20) or line 3 (points 1-9 without 4), all 25 m apart along y = 0;
// bins of 12.5 m. The receivers expected to be binned have fold 1 in the bin
// of their midpoint, the others of their line none.
void Ranges(Survey& s, Expected& e, double line, double first, double last, double increment,
            const std::vector<int>& binned)
{
    for (int p = 1; p <= 10; ++p)
        s.receivers.push_back({1, double(p), 25.0 * (p - 1), 0});
    for (int p = 2; p <= 20; p += 2)
        s.receivers.push_back({2, double(p), 25.0 * (p / 2 - 1), 0});
    for (int p : {1, 2, 3, 5, 6, 7, 8, 9})
        s.receivers.push_back({3, double(p), 25.0 * (p - 1), 0});
    s.sources.push_back({5, 1, 0, -50});
    s.relations.push_back(Row(5, 1, line, first, last, increment));
    s.options.binX = s.options.binY = 12.5;
    e.binX = e.binY = 12.5;
    e.traces = qint64(binned.size());
    e.maxFold = binned.empty() ? 0 : 1;
    for (const SPSFoldStation& r : s.receivers)
        if (r.line == line) {
            const bool in = std::count(binned.begin(), binned.end(), int(r.point)) > 0;
            e.probes.push_back({r.x / 2, (r.y - 50) / 2, in ? 1u : 0u});
        }
}

bool SameBins(const SPSFoldGrid& a, const SPSFoldGrid& b)
{
    return a.columns == b.columns && a.rows == b.rows && a.fold == b.fold &&
           a.minOffset == b.minOffset && a.maxOffset == b.maxOffset;
}
} // namespace

Q_DECLARE_METATYPE(Survey)
Q_DECLARE_METATYPE(Expected)
Q_DECLARE_METATYPE(SPSFoldGrid)

class TestFold : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fold_data()
    {
        QTest::addColumn<Survey>("survey");
        QTest::addColumn<Expected>("expected");
        const auto add = [](const char* name, const auto& build) {
            Survey s;
            Expected e;
            build(s, e);
            QTest::newRow(name) << s << e;
        };
        add("2D line, split spread: fold = channels / (2 x shot interval)", SplitSpread);
        add("3D fixed spread: the taper of the pairs", FixedSpread);
        add("3D fixed spread turned 30 degrees", [](Survey& s, Expected& e) {
            FixedSpread(s, e);
            Turn(s, e, 30);
        });
        add("3D fixed spread, stations shuffled and doubled", [](Survey& s, Expected& e) {
            FixedSpread(s, e);
            std::mt19937 random(3);
            std::shuffle(s.receivers.begin(), s.receivers.end(), random);
            std::shuffle(s.sources.begin(), s.sources.end(), random);
            // A second station of the same numbers, far off, is not the one taken.
            s.receivers.push_back({2, 5, 1e6, 1e6});
            s.sources.push_back({12, 2, -1e6, 0});
        });
        add("3D patches, one patch missing: the hole", MissingPatch);
        add("increment 2", [](Survey& s, Expected& e) {
            Ranges(s, e, 1, 1, 9, 2, {1, 3, 5, 7, 9});
        });
        add("reversed range", [](Survey& s, Expected& e) {
            Ranges(s, e, 1, 9, 1, 2, {1, 3, 5, 7, 9});
        });
        add("range past the line's end", [](Survey& s, Expected& e) {
            Ranges(s, e, 1, 6, 15, 1, {6, 7, 8, 9, 10});
            e.skipped = 5;
        });
        add("range before the line's start", [](Survey& s, Expected& e) {
            Ranges(s, e, 1, -2, 3, 1, {1, 2, 3});
            e.skipped = 3;
        });
        add("increment 0 counts as 1", [](Survey& s, Expected& e) {
            Ranges(s, e, 1, 3, 5, 0, {3, 4, 5});
        });
        add("stations numbered by 2, increment 1", [](Survey& s, Expected& e) {
            Ranges(s, e, 2, 2, 8, 1, {2, 4, 6, 8});
            e.skipped = 3;
        });
        add("stations numbered by 2, increment 4 from an odd point", [](Survey& s, Expected& e) {
            Ranges(s, e, 2, 3, 19, 4, {});
            e.skipped = 5;
        });
        add("gap in the line", [](Survey& s, Expected& e) {
            Ranges(s, e, 3, 1, 9, 1, {1, 2, 3, 5, 6, 7, 8, 9});
            e.skipped = 1;
        });
        add("gap in the line, stepped over", [](Survey& s, Expected& e) {
            Ranges(s, e, 3, 1, 9, 2, {1, 3, 5, 7, 9});
        });
        add("source not in S", [](Survey& s, Expected& e) {
            Ranges(s, e, 1, 1, 4, 1, {});
            s.relations[0].sourcePoint = 2;
            e.skipped = 4;
        });
        add("source without coordinates", [](Survey& s, Expected& e) {
            Ranges(s, e, 1, 1, 4, 1, {});
            s.sources[0].x = std::nan("");
            s.sources.push_back({5, 2, 0, -50});
            e.skipped = 4;
        });
        add("receiver line not in R", [](Survey& s, Expected& e) {
            Ranges(s, e, 1, 1, 4, 1, {});
            s.relations[0].receiverLine = 4;
            e.skipped = 4;
        });
        add("unusable rows", [](Survey& s, Expected& e) {
            Ranges(s, e, 1, 1, 3, 1, {1, 2, 3});
            s.relations.push_back(Row(5, 1, 1, 1, std::numeric_limits<double>::infinity()));
            s.relations.push_back(Row(5, 1, 1, 1, 2e12));
            e.unusable = 2;
        });
    }

    void fold()
    {
        QFETCH(Survey, survey);
        QFETCH(Expected, expected);

        SPSFoldResult one;
        QString error;
        survey.options.threads = 1;
        QVERIFY2(SPSFold::Compute(survey.sources, survey.receivers, survey.relations,
                                  survey.options, &one, &error),
                 qPrintable(error));
        const SPSFoldSummary& s = one.summary;
        QCOMPARE(s.traces, expected.traces);
        QCOMPARE(s.skippedTraces, expected.skipped);
        QCOMPARE(s.unusableRows, expected.unusable);
        QCOMPARE(s.maxFold, expected.maxFold);
        QCOMPARE(s.twoD, expected.twoD);
        QCOMPARE(one.grid.binX, expected.binX);
        QCOMPARE(one.grid.binY, expected.binY);
        QVERIFY2(std::fabs(one.grid.azimuth - expected.azimuth) < 1e-9,
                 qPrintable(QString::number(one.grid.azimuth, 'g', 17)));
        if (expected.emptyInside >= 0)
            QCOMPARE(s.emptyBinsInside, expected.emptyInside);
        if (expected.medianFold >= 0)
            QCOMPARE(s.medianFold, expected.medianFold);
        qint64 total = 0, withFold = 0;
        for (quint32 fold : one.grid.fold) {
            total += fold;
            withFold += fold > 0;
        }
        QCOMPARE(total, s.traces);
        QCOMPARE(s.binsWithFold, withFold);
        for (const Probe& p : expected.probes) {
            int column = -1, row = -1;
            const bool inGrid = one.grid.BinAt(p.x, p.y, &column, &row);
            const quint32 fold = inGrid ? one.grid.At(column, row).fold : 0;
            if (fold != p.fold)
                QFAIL(qPrintable(QString("bin of (%1, %2): fold %3, expected %4")
                                     .arg(p.x, 0, 'f', 3)
                                     .arg(p.y, 0, 'f', 3)
                                     .arg(fold)
                                     .arg(p.fold)));
            if (inGrid && p.minOffset >= 0) {
                const SPSFoldBin b = one.grid.At(column, row);
                QCOMPARE(b.minOffset, float(p.minOffset));
                QCOMPARE(b.maxOffset, float(p.maxOffset));
            }
            // A bin with traces is inside the outline.
            if (p.fold > 0)
                QVERIFY(one.grid.IsInside(column, row));
        }

        // Two workers bin the same.
        SPSFoldResult two;
        survey.options.threads = 2;
        QVERIFY(SPSFold::Compute(survey.sources, survey.receivers, survey.relations, survey.options,
                                 &two, &error));
        QVERIFY(SameBins(one.grid, two.grid));
        QCOMPARE(two.summary.traces, s.traces);
        QCOMPARE(two.summary.skippedTraces, s.skippedTraces);
    }

    void offsets()
    {
        // Three traces with their midpoint halfway along a receiver line: a
        // shot there into the receiver under it, and shots at either end into
        // the receiver at the other.
        Survey s;
        for (int p = 1; p <= 5; ++p)
            s.receivers.push_back({1, double(p), 25.0 * (p - 1), 0});
        s.sources.push_back({2, 1, 50, 0});
        s.sources.push_back({2, 2, 0, 0});
        s.sources.push_back({2, 3, 100, 0});
        s.relations = {Row(2, 1, 1, 3, 3), Row(2, 2, 1, 5, 5), Row(2, 3, 1, 1, 1)};
        SPSFoldResult r;
        QVERIFY(SPSFold::Compute(s.sources, s.receivers, s.relations, s.options, &r));
        int column = -1, row = -1;
        QVERIFY(r.grid.BinAt(50, 0, &column, &row));
        const SPSFoldBin& b = r.grid.At(column, row);
        QCOMPARE(b.fold, 3u);
        QCOMPARE(b.minOffset, 0.0f);
        QCOMPARE(b.maxOffset, 100.0f);
        QVERIFY(r.grid.BinAt(25, 0, &column, &row));
        QCOMPARE(r.grid.At(column, row).fold, 0u);
        QCOMPARE(r.grid.At(column, row).maxOffset, 0.0f);
    }

    void failures_data()
    {
        QTest::addColumn<Survey>("survey");
        QTest::addColumn<QString>("error");
        Survey fixed;
        Expected ignored;
        FixedSpread(fixed, ignored);

        Survey s = fixed;
        s.receivers.clear();
        QTest::newRow("no receivers")
            << s << "The fold needs source and receiver stations with coordinates.";
        s = fixed;
        for (SPSFoldStation& p : s.sources)
            p.y = std::numeric_limits<double>::infinity();
        QTest::newRow("no source coordinates")
            << s << "The fold needs source and receiver stations with coordinates.";
        s = fixed;
        s.options.binX = -1;
        QTest::newRow("negative bin")
            << s << "The bin size -1 x 0 is not valid: give sizes greater than 0.";
        s = fixed;
        s.options.binY = std::nan("");
        QTest::newRow("bin not a number")
            << s << "The bin size 0 x nan is not valid: give sizes greater than 0.";
        s = fixed;
        for (SPSFoldStation& p : s.receivers)
            p.line = p.point + 10 * p.line;
        for (SPSFoldStation& p : s.sources)
            p.line = p.point + 10 * p.line;
        QTest::newRow("no spacing") << s << "The stations' spacing gives no bin size; give one.";
        s = fixed;
        s.options.maxBins = 54;
        QTest::newRow("too many bins")
            << s << "The fold grid would need 11 x 5 bins, more than 54: give larger bins.";
    }

    void failures()
    {
        QFETCH(Survey, survey);
        QFETCH(QString, error);
        SPSFoldResult result;
        result.summary.traces = 7;
        QString seen;
        QVERIFY(!SPSFold::Compute(survey.sources, survey.receivers, survey.relations,
                                  survey.options, &result, &seen));
        QCOMPARE(seen, error);
        QCOMPARE(result.summary.traces, 0);
        QCOMPARE(result.grid.binX, 0.0);
        QVERIFY(result.grid.fold.empty());
    }

    void cancel()
    {
        Survey s;
        Expected ignored;
        MissingPatch(s, ignored);
        const std::atomic<bool> cancelled{true};
        s.options.cancel = &cancelled;
        SPSFoldResult result;
        QString seen;
        QVERIFY(!SPSFold::Compute(s.sources, s.receivers, s.relations, s.options, &result, &seen));
        QCOMPARE(seen, QString("The fold was cancelled."));
    }

    void gridFile_data()
    {
        QTest::addColumn<SPSFoldGrid>("grid");
        QTest::addColumn<QByteArray>("ascii");
        QTest::addColumn<QByteArray>("json");

        SPSFoldGrid g;
        g.cornerX = 600000;
        g.cornerY = 4200000;
        g.binX = g.binY = 12.5;
        g.columns = 3;
        g.rows = 2;
        g.fold = {1, 2, 0, 7, 3, 4};
        g.minOffset = g.maxOffset = std::vector<float>(6, 0);
        g.inside = {{0, 2}, {1, 2}};
        QTest::newRow("square bins, lines east")
            << g
            << QByteArray("ncols 3\nnrows 2\nxllcorner 600000\nyllcorner 4200000\n"
                          "cellsize 12.5\nNODATA_value -9999\n-9999 3 4\n1 2 0\n")
            << QByteArray("{\n    \"azimuth\": 90,\n    \"cellSize\": [\n        12.5,\n"
                          "        12.5\n    ],\n    \"columns\": 3,\n    \"corner\": [\n"
                          "        600000,\n        4200000\n    ],\n    \"rows\": 2\n}\n");
        g.cornerX = 612345.6789012345678;
        g.cornerY = -0.0;
        g.azimuth = 30.25;
        g.binY = 25;
        g.columns = 2;
        g.rows = 3;
        g.inside = {{0, 0}, {1, 0}, {0, 1}};
        QTest::newRow("rotated, bins not square, a row outside")
            << g
            << QByteArray("ncols 2\nnrows 3\nxllcorner 612345.678901235\nyllcorner 0\n"
                          "dx 12.5\ndy 25\nNODATA_value -9999\n3 4\n-9999 -9999\n1 -9999\n")
            << QByteArray("{\n    \"azimuth\": 30.25,\n    \"cellSize\": [\n        12.5,\n"
                          "        25\n    ],\n    \"columns\": 2,\n    \"corner\": [\n"
                          "        612345.678901235,\n        0\n    ],\n    \"rows\": 3\n}\n");
    }

    void gridFile()
    {
        QFETCH(SPSFoldGrid, grid);
        QFETCH(QByteArray, ascii);
        QFETCH(QByteArray, json);
        QCOMPARE(SPSFoldGridFile::Ascii(grid), ascii);
        QCOMPARE(SPSFoldGridFile::Json(grid), json);

        QTemporaryDir dir;
        const QString path = dir.filePath("fold.asc");
        QVERIFY(SPSFoldGridFile::Write(path, grid));
        QFile asc(path), companion(dir.filePath("fold.json"));
        QVERIFY(asc.open(QIODevice::ReadOnly));
        QVERIFY(companion.open(QIODevice::ReadOnly));
        QCOMPARE(asc.readAll(), ascii);
        QCOMPARE(companion.readAll(), json);
    }

    void gridFileFailures_data()
    {
        QTest::addColumn<QString>("ascii");
        QTest::addColumn<QString>("failing");
        QTest::addColumn<QString>("error");
        QTest::newRow("missing folder") << "no/such/fold.asc"
                                        << "no/such/fold.asc"
                                        << "No such file or directory";
        QTest::newRow("the companion's name taken by a folder") << "fold.asc"
                                                                << "fold.json"
                                                                << "It is a folder.";
    }

    void gridFileFailures()
    {
        QFETCH(QString, ascii);
        QFETCH(QString, failing);
        QFETCH(QString, error);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("fold.json"));
        SPSFoldGrid grid;
        QString seen;
        QVERIFY(!SPSFoldGridFile::Write(dir.filePath(ascii), grid, &seen));
        QCOMPARE(
            seen,
            QString("Cannot write the fold grid to \"%1\": %2").arg(dir.filePath(failing), error));
    }

    void jsonPath_data()
    {
        QTest::addColumn<QString>("ascii");
        QTest::addColumn<QString>("json");
        QTest::newRow("asc") << "out/fold.asc"
                             << "out/fold.json";
        QTest::newRow("upper case") << "FOLD.ASC"
                                    << "FOLD.json";
        QTest::newRow("other suffix") << "fold.txt"
                                      << "fold.txt.json";
        QTest::newRow("only the suffix") << "out/.asc"
                                         << "out/.asc.json";
        QTest::newRow("folder named .asc") << "a.asc/fold"
                                           << "a.asc/fold.json";
    }

    void jsonPath()
    {
        QFETCH(QString, ascii);
        QFETCH(QString, json);
        QCOMPARE(SPSFoldGridFile::JsonPath(ascii), json);
    }
};

QTEST_MAIN(TestFold)
#include "tst_fold.moc"
