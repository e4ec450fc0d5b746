#include "SPSFold.h"
#include "VeFoldMap.h"
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
Q_DECLARE_METATYPE(SPSFoldGrid)

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
// A grid of 4 x 3 bins of 100 m: bin (column, row) has fold column + 4 row,
// but for bin (3, 2), outside the outline.
SPSFoldGrid FoldGrid(double azimuth)
{
    SPSFoldGrid g;
    g.cornerX = 601000;
    g.cornerY = 4202000;
    g.azimuth = azimuth;
    g.binX = g.binY = 100;
    g.columns = 4;
    g.rows = 3;
    for (quint32 fold = 0; fold < 12; ++fold)
        g.fold.push_back(fold);
    g.minOffset = g.maxOffset = std::vector<float>(12, 0);
    g.inside = {{0, 3}, {0, 3}, {0, 2}};
    return g;
}

// The fold whose colour, laid over white as bins are drawn, is nearest the
// pixel's; -1 for white itself.
int NearestFold(const VeFoldMap& map, QRgb pixel)
{
    int best = -1;
    double bestDistance = 3 * 20 * 20; // white within 20 a channel
    const QColor p(pixel);
    const auto distance = [&](const QColor& c) {
        return std::pow(c.red() - p.red(), 2) + std::pow(c.green() - p.green(), 2) +
               std::pow(c.blue() - p.blue(), 2);
    };
    if (distance(Qt::white) < bestDistance)
        bestDistance = distance(Qt::white);
    for (quint32 f = 0; f <= map.MaxFold(); ++f) {
        const QColor c = map.FoldColor(f);
        const double a = 220.0 / 255.0;
        const QColor over(int(c.red() * a + 255 * (1 - a)), int(c.green() * a + 255 * (1 - a)),
                          int(c.blue() * a + 255 * (1 - a)));
        if (distance(over) < bestDistance) {
            bestDistance = distance(over);
            best = int(f);
        }
    }
    return best;
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

    // Markers follow the spacing on screen: a dense line shows separate small
    // markers when fitted, and full-size ones when zoomed in.
    void markersFollowSpacing_data()
    {
        QTest::addColumn<double>("spacing"); // metres between shots along a 12.5 km line
        QTest::addColumn<double>("zoom");
        QTest::addColumn<int>("size"); // the shot marker's size in pixels

        QTest::newRow("dense line, fitted") << 50.0 << 1.0 << 3;
        QTest::newRow("dense line, zoomed in") << 50.0 << 8.0 << 9;
        QTest::newRow("sparse line, fitted") << 1250.0 << 1.0 << 9;
    }

    void markersFollowSpacing()
    {
        QFETCH(double, spacing);
        QFETCH(double, zoom);
        QFETCH(int, size);
        Records shots;
        const int count = int(12500 / spacing) + 1;
        for (int i = 0; i < count; ++i)
            shots.push_back({i + 1, float(688000 + i * spacing * 0.96),
                             float(3838000 + i * spacing * 0.28), 0.0f});
        VeSurveyMap map;
        map.SetRecords(shots, {});
        QCOMPARE(map.ShotSpacing(), spacing);
        const QRectF rect(0, 0, 1200, 900);
        map.ZoomAt(map.PlotRect(rect).center(), zoom, rect);
        QCOMPARE(map.ShotMarkerSize(rect), size);
        const QImage image = RenderSurveyMapImage(map, rect.size().toSize());
        // Between two neighbours in view the background shows: they stay apart.
        int seen = 0;
        for (size_t i = 0; i + 1 < shots.size(); ++i) {
            const QPointF a = map.WorldToPixel(shots[i].m_fX, shots[i].m_fY, rect);
            const QPointF b = map.WorldToPixel(shots[i + 1].m_fX, shots[i + 1].m_fY, rect);
            if (!map.PlotRect(rect).contains(a) || !map.PlotRect(rect).contains(b))
                continue;
            QCOMPARE(QColor(PixelAt(image, a)), VeSurveyMap::ShotColor());
            QCOMPARE(QColor(PixelAt(image, (a + b) / 2)), VeSurveyMap::BackgroundColor());
            ++seen;
        }
        QVERIFY(seen >= 2);
    }

    // Eastings and northings numbered along the bottom and left edges, the
    // unit on the scale bar, and a north arrow where the ticks do not fit.
    void axes_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("unit"); // empty: the default
        QTest::addColumn<bool>("plain");
        QTest::addColumn<QString>("scaleBar");

        QTest::newRow("full size") << QSize(1200, 900) << QString() << true << "200 m";
        QTest::newRow("other unit") << QSize(600, 450) << QString("ft") << true << "200 ft";
        QTest::newRow("too small for numbers") << QSize(140, 120) << QString() << false << "500 m";
    }

    void axes()
    {
        QFETCH(QSize, size);
        QFETCH(QString, unit);
        QFETCH(bool, plain);
        QFETCH(QString, scaleBar);
        VeSurveyMap map;
        map.SetRecords(Make({{452000, 5812000}, {453000, 5812000}}),
                       Make({{452000, 5813000}, {453000, 5813000}}));
        if (!unit.isEmpty())
            map.SetUnit(unit);
        const QRectF rect(QPointF(0, 0), QSizeF(size));
        QCOMPARE(map.ScaleBarText(rect), scaleBar);
        QCOMPARE(map.AxesArePlain(rect), plain);
        const QImage image = RenderSurveyMapImage(map, size);
        const QRectF plot = map.PlotRect(rect);
        // Dark pixels where the numbers stand: below the plot, and left of it.
        const auto darkIn = [&image](const QRectF& area) {
            int dark = 0;
            const QRect r = area.toAlignedRect().intersected(image.rect());
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    dark += qGray(image.pixel(x, y)) < 128;
            return dark;
        };
        const QRectF below(plot.left(), plot.bottom() + 8, plot.width(), 16);
        const QRectF left(plot.left() - 28, plot.top(), 20, plot.height());
        QCOMPARE(darkIn(below) > 20, plain);
        QCOMPARE(darkIn(left) > 20, plain);
        // A tick at 452600 east stands below the edge where the map puts it.
        if (plain) {
            const double x = map.WorldToPixel(452600, 5812500, rect).x();
            QVERIFY(darkIn(QRectF(x - 1.5, plot.bottom() + 6, 3, 4)) > 0);
            QVERIFY(darkIn(QRectF(x - 40, plot.bottom() + 6, 30, 4)) == 0);
        }
        // The north arrow in the plot's top right corner.
        const QRectF arrow(plot.right() - 16, plot.top() - 2, 12, 28);
        QCOMPARE(darkIn(arrow) > 10, !plain);
    }

    // The squares filled straight into the image are QPainter's pixel for
    // pixel; where it would blend or transform them, QPainter draws.
    void opaqueRects_data()
    {
        QTest::addColumn<QImage::Format>("format");
        QTest::addColumn<QRect>("clip");
        QTest::addColumn<QString>("state"); // what differs from a plain opaque fill
        QTest::addColumn<bool>("filled");   // straight into the image

        const QRect inside(12, 8, 100, 70);
        QTest::newRow("opaque squares")
            << QImage::Format_ARGB32_Premultiplied << inside << "" << true;
        QTest::newRow("an image without alpha") << QImage::Format_RGB32 << inside << "" << true;
        QTest::newRow("a clip past the image")
            << QImage::Format_ARGB32_Premultiplied << QRect(-5, -5, 200, 200) << "" << true;
        QTest::newRow("half opacity")
            << QImage::Format_ARGB32_Premultiplied << inside << "opacity" << false;
        QTest::newRow("a translucent brush")
            << QImage::Format_ARGB32_Premultiplied << inside << "alpha" << false;
        QTest::newRow("a pen") << QImage::Format_ARGB32_Premultiplied << inside << "pen" << false;
        QTest::newRow("a scale") << QImage::Format_ARGB32_Premultiplied << inside << "scale"
                                 << false;
        QTest::newRow("another clip")
            << QImage::Format_ARGB32_Premultiplied << inside << "clip" << false;
        QTest::newRow("an image of another format")
            << QImage::Format_ARGB32 << inside << "" << false;
    }

    void opaqueRects()
    {
        QFETCH(QImage::Format, format);
        QFETCH(QRect, clip);
        QFETCH(QString, state);
        QFETCH(bool, filled);
        // Squares of 1 to 7 pixels inside, across and outside the clip and the image.
        QVector<QRect> squares;
        for (int i = 0; i < 400; ++i)
            squares.append(QRect((i * 37) % 150 - 10, (i * 53) % 110 - 10, 1 + i % 7, 1 + i % 7));
        QImage background(140, 100, format);
        for (int y = 0; y < background.height(); ++y)
            for (int x = 0; x < background.width(); ++x)
                background.setPixel(x, y, qRgb(x * 2, y * 2, 90));
        const auto paint = [&](QImage& image, bool direct) {
            QPainter painter(&image);
            painter.setPen(state == "pen" ? QPen(Qt::black) : QPen(Qt::NoPen));
            painter.setBrush(QColor(40, 120, 200, state == "alpha" ? 128 : 255));
            if (state == "opacity")
                painter.setOpacity(0.5);
            if (state == "scale")
                painter.scale(2, 2);
            painter.setClipRect(clip);
            const QRect given = state == "clip" ? clip.adjusted(1, 0, 0, 0) : clip;
            const bool done = direct && FillOpaqueRects(painter, given, squares);
            if (!done)
                painter.drawRects(squares);
            return done;
        };
        QImage drawn = background.copy(), direct = background.copy();
        paint(drawn, false);
        QCOMPARE(paint(direct, true), filled);
        QCOMPARE(direct, drawn);
        QVERIFY(drawn != background);
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

    void foldMap_data()
    {
        QTest::addColumn<SPSFoldGrid>("grid");
        QTest::newRow("lines east") << FoldGrid(90);
        QTest::newRow("lines turned to azimuth 60") << FoldGrid(60);
        QTest::newRow("lines north") << FoldGrid(0);
    }

    void foldMap()
    {
        QFETCH(SPSFoldGrid, grid);
        VeFoldMap map;
        Records corners;
        for (const QPointF& p : {QPointF(0, 0), QPointF(4, 0), QPointF(0, 3), QPointF(4, 3)}) {
            const QPointF at = QPointF(grid.cornerX, grid.cornerY) + grid.ColumnStep() * p.x() +
                               grid.RowStep() * p.y();
            corners.push_back(
                VePrevSegySRGeometry{int(corners.size()) + 1, float(at.x()), float(at.y()), 0.0f});
        }
        map.SetRecords(corners, corners);
        map.SetFold(grid);
        QCOMPARE(map.MaxFold(), 11u);
        QCOMPARE(map.BinText(), QStringLiteral("bin 100 x 100 m"));
        const QImage image = RenderFoldMapImage(map, QSize(600, 450));
        QVERIFY(!image.isNull());
        const QRectF rect(0, 0, 600, 450);
        // Each bin in the colour of its fold where its centre is drawn; the
        // one outside the outline left clear.
        for (int row = 0; row < grid.rows; ++row)
            for (int column = 0; column < grid.columns; ++column) {
                const QPointF centre = grid.BinCentre(column, row);
                const QPointF at = map.WorldToPixel(centre.x(), centre.y(), rect);
                const int expected = grid.IsInside(column, row) ? column + 4 * row : -1;
                QCOMPARE(NearestFold(map, PixelAt(image, at)), expected);
            }
        // The colour bar from 0 at its foot to the most at its head, numbered 0 to 10.
        const QRectF bar = map.BarRect(rect);
        QCOMPARE(QColor(PixelAt(image, QPointF(bar.center().x(), bar.bottom() - 2))),
                 map.FoldColor(0));
        QCOMPARE(QColor(PixelAt(image, QPointF(bar.center().x(), bar.top() + 2))),
                 map.FoldColor(11));
        QCOMPARE(map.BarTicks(), std::vector<quint32>({0, 2, 4, 6, 8, 10}));
    }

    void saveFoldMap_data()
    {
        QTest::addColumn<QString>("relativePath");
        QTest::addColumn<QString>("error");
        QTest::newRow("png") << "fold.png" << QString();
        QTest::newRow("missing folder")
            << "no/such/folder/fold.png"
            << "Cannot write the fold map to \"%1\": No such file or directory";
    }

    void saveFoldMap()
    {
        QFETCH(QString, relativePath);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString file = dir.filePath(relativePath);
        VePrevStackSegyGeometry geometry;
        QString seen;
        QCOMPARE(SaveFoldMapImage(FoldGrid(90), geometry, file, QSize(320, 240), "png", &seen),
                 error.isEmpty());
        QCOMPARE(seen, error.isEmpty() ? QString() : error.arg(file));
        QCOMPARE(QFile::exists(file), error.isEmpty());
        if (error.isEmpty())
            QCOMPARE(QImage(file).size(), QSize(320, 240));
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
