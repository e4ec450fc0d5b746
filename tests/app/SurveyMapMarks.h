#pragma once

#include "VeSurveyMap.h"

#include <QFile>
#include <QImage>
#include <QLineF>
#include <QRectF>
#include <QVector>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <map>

// A survey's points as its standard-layout point file states them, read here
// apart from the loader: point number to position, a later row of a point number
// replacing the earlier one (a re-shot point).
using SurveyPoints = std::map<qint32, QPointF>;

inline SurveyPoints ReadSurveyPoints(const QString& path, char letter)
{
    SurveyPoints points;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return points;
    while (!file.atEnd()) {
        const QByteArray row = file.readLine();
        if (!row.startsWith(letter))
            continue;
        // Columns 18-25 the point number, 47-55 the easting, 56-65 the northing.
        const auto number = qint32(row.mid(17, 8).trimmed().toDouble());
        const float x = row.mid(46, 9).trimmed().toFloat();
        const float y = row.mid(55, 10).trimmed().toFloat();
        points[number] = QPointF(x, y);
    }
    return points;
}

// Where a map of the points must put each one, worked out from what a map
// promises: the points' extent fitted into the plot area at one scale on both
// axes, centred, east to the right and north up.
class ExpectedPlacement
{
public:
    ExpectedPlacement(const QRectF& plot, const SurveyPoints& shots, const SurveyPoints& receivers)
        : m_Plot(plot)
    {
        double minX = 0, maxX = 0, minY = 0, maxY = 0;
        bool first = true;
        for (const SurveyPoints* points : {&shots, &receivers})
            for (const auto& [number, p] : *points) {
                Q_UNUSED(number)
                minX = first ? p.x() : std::min(minX, p.x());
                maxX = first ? p.x() : std::max(maxX, p.x());
                minY = first ? p.y() : std::min(minY, p.y());
                maxY = first ? p.y() : std::max(maxY, p.y());
                first = false;
            }
        m_World = QRectF(QPointF(minX, minY), QPointF(maxX, maxY));
        m_dScale = std::min(plot.width() / m_World.width(), plot.height() / m_World.height());
    }

    QPointF Pixel(const QPointF& world) const
    {
        const QPointF d = world - m_World.center();
        return m_Plot.center() + QPointF(d.x() * m_dScale, -d.y() * m_dScale);
    }

private:
    QRectF m_Plot;
    QRectF m_World;
    double m_dScale = 1.0;
};

// Checks a map image against the points: each shot shows the shot colour at its
// place, each receiver the receiver colour (unless a shot's mark covers it, as
// shots are drawn over receivers), and the plot area far from every mark shows
// the background, so no mark is drawn where there is no point.
inline void CheckSurveyMarks(const QImage& image, const QRectF& plot, const SurveyPoints& shots,
                             const SurveyPoints& receivers)
{
    QVERIFY(!shots.empty() && !receivers.empty());
    const ExpectedPlacement placement(plot, shots, receivers);
    const auto colourAt = [&image](const QPointF& p) {
        return QColor(image.pixel(int(std::floor(p.x())), int(std::floor(p.y()))));
    };
    QVector<QPointF> shotPixels, marks;
    for (const auto& [number, p] : shots) {
        const QPointF at = placement.Pixel(p);
        QVERIFY2(plot.adjusted(-0.5, -0.5, 0.5, 0.5).contains(at),
                 qPrintable(QString("shot %1 outside the plot").arg(number)));
        QVERIFY2(colourAt(at) == VeSurveyMap::ShotColor(),
                 qPrintable(QString("shot %1 at (%2, %3) shows %4")
                                .arg(number)
                                .arg(at.x())
                                .arg(at.y())
                                .arg(colourAt(at).name())));
        shotPixels << at;
    }
    marks = shotPixels;
    int receiversSeen = 0;
    for (const auto& [number, p] : receivers) {
        const QPointF at = placement.Pixel(p);
        QVERIFY2(plot.adjusted(-0.5, -0.5, 0.5, 0.5).contains(at),
                 qPrintable(QString("receiver %1 outside the plot").arg(number)));
        marks << at;
        // A shot's circle (9 pixels across, with its outline) covers it.
        if (std::any_of(shotPixels.cbegin(), shotPixels.cend(),
                        [&at](const QPointF& s) { return QLineF(s, at).length() < 6.5; }))
            continue;
        QVERIFY2(colourAt(at) == VeSurveyMap::ReceiverColor(),
                 qPrintable(QString("receiver %1 at (%2, %3) shows %4")
                                .arg(number)
                                .arg(at.x())
                                .arg(at.y())
                                .arg(colourAt(at).name())));
        ++receiversSeen;
    }
    // Most receivers lie between the shot lines.
    QVERIFY2(receiversSeen > int(receivers.size()) / 2, qPrintable(QString::number(receiversSeen)));

    int backgroundSeen = 0;
    const QRect inner = plot.toAlignedRect().adjusted(1, 1, -1, -1);
    for (int y = inner.top(); y <= inner.bottom(); y += 5)
        for (int x = inner.left(); x <= inner.right(); x += 5) {
            const QPointF centre(x + 0.5, y + 0.5);
            if (std::any_of(marks.cbegin(), marks.cend(), [&centre](const QPointF& m) {
                    return std::abs(m.x() - centre.x()) < 8 && std::abs(m.y() - centre.y()) < 8;
                }))
                continue;
            QVERIFY2(QColor(image.pixel(x, y)) == VeSurveyMap::BackgroundColor(),
                     qPrintable(QString("a mark at (%1, %2), far from any point").arg(x).arg(y)));
            ++backgroundSeen;
        }
    QVERIFY(backgroundSeen > 1000);
}
