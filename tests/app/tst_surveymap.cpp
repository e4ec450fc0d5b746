#include "VePrevStackSegyGeometry.h"
#include "VeSurveyMap.h"
#include "VeSurveyMapImage.h"

#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <limits>

using Records = std::vector<VePrevSegySRGeometry>;
Q_DECLARE_METATYPE(Records)

namespace {
Records Make(std::initializer_list<std::pair<float, float>> xy)
{
    Records records;
    int number = 1;
    for (const auto& [x, y] : xy)
        records.push_back(VePrevSegySRGeometry{number++, x, y, 0.0f});
    return records;
}

// The pixel that holds the point: pixel (i, j) covers [i, i+1) x [j, j+1).
QRgb PixelAt(const QImage& image, const QPointF& p)
{
    return image.pixel(int(std::floor(p.x())), int(std::floor(p.y())));
}

// Every record with usable coordinates shows its own colour where the map puts it.
void CheckMarks(const QImage& image, const VeSurveyMap& map, const Records& shots,
                const Records& receivers)
{
    const QRectF rect(QPointF(0, 0), QSizeF(image.size()));
    const QRectF plot = map.PlotRect(rect);
    for (const auto* records : {&receivers, &shots}) {
        const QColor expected =
            records == &shots ? VeSurveyMap::ShotColor() : VeSurveyMap::ReceiverColor();
        for (const VePrevSegySRGeometry& r : *records) {
            if (!std::isfinite(r.m_fX) || !std::isfinite(r.m_fY))
                continue;
            // A receiver under a shot is hidden by it, as drawn.
            bool underShot = false;
            if (records == &receivers)
                for (const VePrevSegySRGeometry& s : shots)
                    underShot |= s.m_fX == r.m_fX && s.m_fY == r.m_fY;
            if (underShot)
                continue;
            const QPointF p = map.WorldToPixel(r.m_fX, r.m_fY, rect);
            QVERIFY2(plot.adjusted(-0.5, -0.5, 0.5, 0.5).contains(p),
                     qPrintable(QString("record %1 outside the plot").arg(r.m_nNumber)));
            QCOMPARE(QColor(PixelAt(image, p)), expected);
        }
    }
}
} // namespace

class TestSurveyMap : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void marksAtTheirPlaces_data()
    {
        QTest::addColumn<Records>("shots");
        QTest::addColumn<Records>("receivers");
        QTest::addColumn<QSize>("size");

        const Records shots = Make({{500000, 5800000}, {500400, 5800000}, {500800, 5800300}});
        const Records receivers =
            Make({{500000, 5800600}, {500200, 5800600}, {500400, 5800600}, {500800, 5800600}});
        QTest::newRow("wide survey in a wide image") << shots << receivers << QSize(400, 300);
        QTest::newRow("wide survey in a tall image") << shots << receivers << QSize(240, 500);
        QTest::newRow("one receiver line, shots on it")
            << Make({{0, 0}, {100, 0}}) << Make({{0, 0}, {50, 0}, {100, 0}, {150, 0}})
            << QSize(300, 200);
        QTest::newRow("north-south line")
            << Make({{10, -40}}) << Make({{10, 0}, {10, 40}, {10, 80}}) << QSize(200, 300);
        QTest::newRow("one point") << Make({{7, 7}}) << Records() << QSize(120, 120);
        QTest::newRow("unusable coordinates skipped")
            << Make({{0, 0}, {std::numeric_limits<float>::quiet_NaN(), 5}, {60, 30}})
            << Make({{std::numeric_limits<float>::infinity(), 0}, {30, 30}}) << QSize(300, 200);
    }

    void marksAtTheirPlaces()
    {
        QFETCH(Records, shots);
        QFETCH(Records, receivers);
        QFETCH(QSize, size);

        VeSurveyMap map;
        map.SetRecords(shots, receivers);
        QCOMPARE(map.ShotCount(), int(shots.size()));
        QCOMPARE(map.ReceiverCount(), int(receivers.size()));
        QCOMPARE(map.ShotLegendText(), QString("Shots: %1").arg(shots.size()));
        QCOMPARE(map.ReceiverLegendText(), QString("Receivers: %1").arg(receivers.size()));

        const QImage image = RenderSurveyMapImage(map, size);
        QCOMPARE(image.size(), size);
        CheckMarks(image, map, shots, receivers);
        // The plot's corner is far from any mark here: the background shows.
        const QRectF plot = map.PlotRect(QRectF(QPointF(0, 0), QSizeF(size)));
        QCOMPARE(QColor(PixelAt(image, plot.topLeft() + QPointF(-4, -4))),
                 VeSurveyMap::BackgroundColor());
    }

    void equalScaleAndFit_data()
    {
        QTest::addColumn<QRectF>("world");
        QTest::addColumn<QSizeF>("size");

        QTest::newRow("wide world, wide view") << QRectF(0, 0, 4000, 1000) << QSizeF(800, 600);
        QTest::newRow("tall world, wide view") << QRectF(-50, -900, 100, 1000) << QSizeF(800, 600);
        QTest::newRow("square world, tall view") << QRectF(3, 3, 20, 20) << QSizeF(300, 900);
        QTest::newRow("far from the origin")
            << QRectF(650000, 6200000, 12000, 9000) << QSizeF(1200, 900);
    }

    void equalScaleAndFit()
    {
        QFETCH(QRectF, world);
        QFETCH(QSizeF, size);

        VeSurveyMap map;
        map.SetRecords(Make({{float(world.left()), float(world.top())}}),
                       Make({{float(world.right()), float(world.bottom())}}));
        const QRectF rect(QPointF(0, 0), size);
        const QRectF plot = map.PlotRect(rect);
        const QPointF a = map.WorldToPixel(world.left(), world.top(), rect);
        const QPointF b = map.WorldToPixel(world.right(), world.bottom(), rect);
        const double perUnitX = (b.x() - a.x()) / world.width();
        const double perUnitY = (a.y() - b.y()) / world.height(); // north up
        QVERIFY(perUnitX > 0);
        QVERIFY(qFuzzyCompare(perUnitX, perUnitY));
        QVERIFY(qFuzzyCompare(perUnitX, map.Scale(rect)));
        // The survey fills the plot in one direction and is centred in the other.
        const bool fillsWidth = qFuzzyCompare(b.x() - a.x(), plot.width());
        const bool fillsHeight = qFuzzyCompare(a.y() - b.y(), plot.height());
        QVERIFY(fillsWidth || fillsHeight);
        QVERIFY(b.x() - a.x() <= plot.width() + 1e-6);
        QVERIFY(a.y() - b.y() <= plot.height() + 1e-6);
        QVERIFY(qAbs((a.x() + b.x()) / 2 - plot.center().x()) < 1e-6);
        QVERIFY(qAbs((a.y() + b.y()) / 2 - plot.center().y()) < 1e-6);
    }

    void zoomAndPan()
    {
        VeSurveyMap map;
        map.SetRecords(Make({{0, 0}}), Make({{1000, 500}}));
        const QRectF rect(0, 0, 600, 400);
        const double fit = map.Scale(rect);
        const QPointF cursor(150, 120);
        const QPointF world = map.PixelToWorld(cursor, rect);

        map.ZoomAt(cursor, 2.0, rect);
        QVERIFY(qFuzzyCompare(map.Scale(rect), 2 * fit));
        const QPointF still = map.WorldToPixel(world.x(), world.y(), rect);
        QVERIFY(qAbs(still.x() - cursor.x()) < 1e-6 && qAbs(still.y() - cursor.y()) < 1e-6);

        const QPointF before = map.WorldToPixel(1000, 500, rect);
        map.PanBy(QPointF(-30, 12));
        QCOMPARE(map.WorldToPixel(1000, 500, rect), before + QPointF(-30, 12));

        // Nonsense factors leave the view alone; huge ones stop at a usable scale.
        map.ZoomAt(cursor, 0.0, rect);
        map.ZoomAt(cursor, std::numeric_limits<double>::quiet_NaN(), rect);
        QVERIFY(qFuzzyCompare(map.Scale(rect), 2 * fit));
        map.ZoomAt(cursor, 1e300, rect);
        map.ZoomAt(cursor, 1e300, rect);
        QVERIFY(std::isfinite(map.Scale(rect)) && map.Scale(rect) > 2 * fit);
        const QImage image = RenderSurveyMapImage(map, rect.size().toSize());
        QVERIFY(!image.isNull());

        map.ResetView();
        QVERIFY(qFuzzyCompare(map.Scale(rect), fit));
        QCOMPARE(map.Pan(), QPointF());
    }

    void saveImage_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<bool>("exact"); // lossless: the marks' colours are exact
        QTest::newRow("png") << "map.png" << QByteArray("png") << true;
        QTest::newRow("bmp") << "map.bmp" << QByteArray("bmp") << true;
        // The reader names the format by the bytes, not by the suffix.
        QTest::newRow("jpg") << "map.JPG" << QByteArray("jpeg") << false;
    }

    void saveImage()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, format);
        QFETCH(bool, exact);
        VePrevStackSegyGeometry geometry;
        geometry.SetName("Line 1");
        const Records shots = Make({{200, 100}, {260, 100}});
        const Records receivers = Make({{200, 180}, {230, 180}, {260, 180}, {290, 180}});
        for (const VePrevSegySRGeometry& r : shots)
            geometry.AddShotGeometry(new VePrevSegySRGeometry(r));
        for (const VePrevSegySRGeometry& r : receivers)
            geometry.AddReceiverGeometry(new VePrevSegySRGeometry(r));

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString file = dir.filePath(name);
        const QByteArray suffixFormat = SurveyMapFormatForFile(file);
        QVERIFY(!suffixFormat.isEmpty());
        QString error;
        QVERIFY2(SaveSurveyMapImage(geometry, file, QSize(500, 350), suffixFormat, &error),
                 qPrintable(error));

        QCOMPARE(QImageReader::imageFormat(file), format);
        const QImage image(file);
        QCOMPARE(image.size(), QSize(500, 350));
        if (!exact)
            return;
        VeSurveyMap map;
        map.SetGeometry(&geometry);
        CheckMarks(image, map, shots, receivers);
    }

    void formatForFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("upper case") << "a/map.PNG" << QByteArray("png");
        QTest::newRow("last suffix") << "map.csv.jpeg" << QByteArray("jpeg");
        QTest::newRow("unknown") << "map.xyz" << QByteArray();
        QTest::newRow("none") << "map" << QByteArray();
        QTest::newRow("hidden file, no suffix") << "dir.png/.png" << QByteArray();
    }

    void formatForFile()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, format);
        QCOMPARE(SurveyMapFormatForFile(name), format);
    }

    void savePngFailures_data()
    {
        QTest::addColumn<QString>("relativePath");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("error");

        QTest::newRow("empty size")
            << "map.png" << QSize(0, 300)
            << "The map size 0x300 is not valid: each side must be 1 to 20000 pixels.";
        QTest::newRow("absurd size")
            << "map.png" << QSize(800, 90000)
            << "The map size 800x90000 is not valid: each side must be 1 to 20000 pixels.";
        QTest::newRow("missing folder") << "no/such/folder/map.png" << QSize(100, 100)
                                        << "Cannot write the map to \"%1\": No such file or "
                                           "directory";
    }

    void savePngFailures()
    {
        QFETCH(QString, relativePath);
        QFETCH(QSize, size);
        QFETCH(QString, error);

        QTemporaryDir dir;
        const QString file = dir.filePath(relativePath);
        VePrevStackSegyGeometry geometry;
        QString seen;
        QVERIFY(!SaveSurveyMapPng(geometry, file, size, &seen));
        QCOMPARE(seen, error.contains("%1") ? error.arg(file) : error);
        QVERIFY(!QFile::exists(file));
    }
};

QTEST_MAIN(TestSurveyMap)
#include "tst_surveymap.moc"
