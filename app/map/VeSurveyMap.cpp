#include "VeSurveyMap.h"

#include "VePrevSegySRGeometry.h"
#include "VePrevStackSegyGeometry.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QVector>

#include <algorithm>
#include <cmath>

namespace {
// Fixed pixel sizes, so a point's place on the map does not depend on the fonts.
constexpr double kLegendHeight = 26.0;
constexpr double kScaleBarHeight = 26.0;
constexpr double kMargin = 12.0;
constexpr double kShotDiameter = 9.0;
constexpr double kReceiverSide = 6.0;
// Findings ring the records' markers, so both stay visible.
constexpr double kFindingDiameter = 17.0;
constexpr double kMarkedDiameter = 27.0;
constexpr double kMinZoom = 1.0 / 32.0;
constexpr double kMaxZoom = 1.0e5;

const QColor kTextColor(0x30, 0x30, 0x30);
const QColor kFrameColor(0xc8, 0xc8, 0xc8);

void AppendFinite(const std::vector<VePrevSegySRGeometry>& records, std::vector<QPointF>& points)
{
    points.clear();
    points.reserve(records.size());
    for (const VePrevSegySRGeometry& r : records)
        if (std::isfinite(r.m_fX) && std::isfinite(r.m_fY))
            points.emplace_back(double(r.m_fX), double(r.m_fY));
}

// 1, 2 or 5 times a power of ten, at most the given length.
double NiceLength(double maxLength)
{
    if (!(maxLength > 0.0) || !std::isfinite(maxLength))
        return 0.0;
    const double power = std::pow(10.0, std::floor(std::log10(maxLength)));
    for (double step : {5.0, 2.0, 1.0})
        if (step * power <= maxLength)
            return step * power;
    return power;
}

void DrawShotMarker(QPainter& painter, const QPointF& at)
{
    painter.drawEllipse(at, kShotDiameter / 2.0, kShotDiameter / 2.0);
}

void DrawFindingMarker(QPainter& painter, const QPointF& at)
{
    painter.drawEllipse(at, kFindingDiameter / 2.0, kFindingDiameter / 2.0);
}

QRectF ReceiverMarker(const QPointF& at)
{
    return QRectF(at.x() - kReceiverSide / 2.0, at.y() - kReceiverSide / 2.0, kReceiverSide,
                  kReceiverSide);
}
} // namespace

void VeSurveyMap::SetGeometry(const VePrevStackSegyGeometry* geometry)
{
    if (!geometry) {
        Clear();
        return;
    }
    SetRecords(geometry->Shots(), geometry->Receivers());
}

void VeSurveyMap::SetRecords(const std::vector<VePrevSegySRGeometry>& shots,
                             const std::vector<VePrevSegySRGeometry>& receivers)
{
    m_nShotCount = int(shots.size());
    m_nReceiverCount = int(receivers.size());
    AppendFinite(shots, m_ShotPoints);
    AppendFinite(receivers, m_ReceiverPoints);

    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    bool first = true;
    for (const auto* points : {&m_ShotPoints, &m_ReceiverPoints}) {
        for (const QPointF& p : *points) {
            if (first) {
                minX = maxX = p.x();
                minY = maxY = p.y();
                first = false;
                continue;
            }
            minX = std::min(minX, p.x());
            maxX = std::max(maxX, p.x());
            minY = std::min(minY, p.y());
            maxY = std::max(maxY, p.y());
        }
    }
    m_Bounds = first ? QRectF() : QRectF(QPointF(minX, minY), QPointF(maxX, maxY));
}

void VeSurveyMap::Clear()
{
    SetRecords({}, {});
}

void VeSurveyMap::SetFindingMarks(std::vector<QPointF> marks)
{
    m_FindingMarks.clear();
    m_FindingMarks.reserve(marks.size());
    for (const QPointF& p : marks)
        if (std::isfinite(p.x()) && std::isfinite(p.y()))
            m_FindingMarks.push_back(p);
}

QString VeSurveyMap::FindingLegendText() const
{
    return tr("Check findings: %1").arg(m_FindingMarks.size());
}

QString VeSurveyMap::ShotLegendText() const
{
    return tr("Shots: %1").arg(m_nShotCount);
}

QString VeSurveyMap::ReceiverLegendText() const
{
    return tr("Receivers: %1").arg(m_nReceiverCount);
}

QRectF VeSurveyMap::PlotRect(const QRectF& rect) const
{
    QRectF plot =
        rect.adjusted(kMargin, kLegendHeight + kMargin, -kMargin, -(kScaleBarHeight + kMargin));
    // A rect too small for the strips still gets a plot area of one pixel.
    if (plot.width() < 1.0)
        plot.setWidth(1.0);
    if (plot.height() < 1.0)
        plot.setHeight(1.0);
    return plot;
}

double VeSurveyMap::Scale(const QRectF& rect) const
{
    const QRectF plot = PlotRect(rect);
    const double w = m_Bounds.width();
    const double h = m_Bounds.height();
    double fit = 1.0;
    // Records on one vertical or horizontal line, or on one point, fit by what extent there is.
    if (w > 0.0 && h > 0.0)
        fit = std::min(plot.width() / w, plot.height() / h);
    else if (w > 0.0)
        fit = plot.width() / w;
    else if (h > 0.0)
        fit = plot.height() / h;
    return fit * m_dZoom;
}

QPointF VeSurveyMap::WorldToPixel(double x, double y, const QRectF& rect) const
{
    const QPointF centre = m_Bounds.center();
    const double s = Scale(rect);
    // North up: a larger Y is higher on the map.
    return PlotRect(rect).center() + m_Pan + QPointF((x - centre.x()) * s, -(y - centre.y()) * s);
}

QPointF VeSurveyMap::PixelToWorld(const QPointF& pixel, const QRectF& rect) const
{
    const QPointF centre = m_Bounds.center();
    const double s = Scale(rect);
    const QPointF d = pixel - PlotRect(rect).center() - m_Pan;
    return QPointF(centre.x() + d.x() / s, centre.y() - d.y() / s);
}

void VeSurveyMap::ZoomAt(const QPointF& pixel, double factor, const QRectF& rect)
{
    if (!(factor > 0.0) || !std::isfinite(factor))
        return;
    const QPointF world = PixelToWorld(pixel, rect);
    m_dZoom = std::clamp(m_dZoom * factor, kMinZoom, kMaxZoom);
    const QPointF centre = m_Bounds.center();
    const double s = Scale(rect);
    m_Pan = pixel - PlotRect(rect).center() -
            QPointF((world.x() - centre.x()) * s, -(world.y() - centre.y()) * s);
}

void VeSurveyMap::ResetView()
{
    m_dZoom = 1.0;
    m_Pan = QPointF();
}

void VeSurveyMap::CentreOn(double x, double y, const QRectF& rect)
{
    const QPointF centre = m_Bounds.center();
    const double s = Scale(rect);
    m_Pan = QPointF(-(x - centre.x()) * s, (y - centre.y()) * s);
}

void VeSurveyMap::Paint(QPainter& painter, const QRectF& rect) const
{
    painter.save();
    painter.setClipRect(rect);
    painter.fillRect(rect, BackgroundColor());
    QFont font = painter.font();
    font.setPixelSize(12);
    painter.setFont(font);

    const QRectF plot = PlotRect(rect);
    painter.setPen(QPen(kFrameColor, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot.adjusted(-kMargin / 2, -kMargin / 2, kMargin / 2, kMargin / 2));

    if (HasPoints()) {
        PaintMarkers(painter, rect);
        PaintFindings(painter, rect);
        PaintScaleBar(painter, rect);
    } else {
        painter.setPen(kTextColor);
        const QString text =
            m_strEmptyText.isEmpty() ? tr("No shots or receivers") : m_strEmptyText;
        painter.drawText(plot, Qt::AlignCenter | Qt::TextWordWrap, text);
    }
    PaintLegend(painter, rect);
    painter.restore();
}

void VeSurveyMap::PaintMarkers(QPainter& painter, const QRectF& rect) const
{
    const QRectF plot = PlotRect(rect);
    // Marks half outside the plot area still show in its margin; farther ones are skipped.
    const QRectF visible = plot.adjusted(-kMargin, -kMargin, kMargin, kMargin);
    painter.save();
    painter.setClipRect(visible.intersected(rect));

    QVector<QRectF> squares;
    squares.reserve(int(m_ReceiverPoints.size()));
    for (const QPointF& p : m_ReceiverPoints) {
        const QPointF at = WorldToPixel(p.x(), p.y(), rect);
        if (visible.contains(at))
            squares.append(ReceiverMarker(at));
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ReceiverColor());
    painter.drawRects(squares);

    // Shots last: there are fewer of them and they must stay visible over the receiver lines.
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(ShotColor().darker(160), 1.0));
    painter.setBrush(ShotColor());
    for (const QPointF& p : m_ShotPoints) {
        const QPointF at = WorldToPixel(p.x(), p.y(), rect);
        if (visible.contains(at))
            DrawShotMarker(painter, at);
    }
    painter.restore();
}

void VeSurveyMap::PaintFindings(QPainter& painter, const QRectF& rect) const
{
    if (m_FindingMarks.empty() && !m_MarkedPoint)
        return;
    const QRectF plot = PlotRect(rect);
    const QRectF visible = plot.adjusted(-kMargin, -kMargin, kMargin, kMargin);
    painter.save();
    painter.setClipRect(visible.intersected(rect));
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(FindingColor(), 2.5));
    for (const QPointF& p : m_FindingMarks) {
        const QPointF at = WorldToPixel(p.x(), p.y(), rect);
        if (visible.contains(at))
            DrawFindingMarker(painter, at);
    }
    if (m_MarkedPoint) {
        // A ring with a cross, so the point shows among many findings.
        const QPointF at = WorldToPixel(m_MarkedPoint->x(), m_MarkedPoint->y(), rect);
        const double r = kMarkedDiameter / 2.0;
        painter.setPen(QPen(MarkedPointColor(), 2.0));
        painter.drawEllipse(at, r, r);
        painter.drawLine(at - QPointF(r + 6.0, 0), at - QPointF(r - 5.0, 0));
        painter.drawLine(at + QPointF(r - 5.0, 0), at + QPointF(r + 6.0, 0));
        painter.drawLine(at - QPointF(0, r + 6.0), at - QPointF(0, r - 5.0));
        painter.drawLine(at + QPointF(0, r - 5.0), at + QPointF(0, r + 6.0));
    }
    painter.restore();
}

void VeSurveyMap::PaintLegend(QPainter& painter, const QRectF& rect) const
{
    painter.save();
    const double midY = rect.top() + kLegendHeight / 2.0 + 2.0;
    double x = rect.left() + kMargin;
    const auto drawText = [&](const QString& text, bool bold) {
        QFont f = painter.font();
        f.setBold(bold);
        painter.setFont(f);
        painter.setPen(kTextColor);
        const QFontMetricsF metrics(f);
        painter.drawText(QPointF(x, midY + (metrics.ascent() - metrics.descent()) / 2.0), text);
        x += metrics.horizontalAdvance(text) + 18.0;
    };
    if (!m_strTitle.isEmpty())
        drawText(m_strTitle, true);

    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(ShotColor().darker(160), 1.0));
    painter.setBrush(ShotColor());
    DrawShotMarker(painter, QPointF(x + kShotDiameter / 2.0, midY));
    x += kShotDiameter + 5.0;
    drawText(ShotLegendText(), false);

    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ReceiverColor());
    painter.drawRect(ReceiverMarker(QPointF(x + kShotDiameter / 2.0, midY)));
    x += kShotDiameter + 5.0;
    drawText(ReceiverLegendText(), false);

    if (!m_FindingMarks.empty()) {
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(QPen(FindingColor(), 2.0));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QPointF(x + kShotDiameter / 2.0, midY), kShotDiameter / 2.0 + 1.0,
                            kShotDiameter / 2.0 + 1.0);
        x += kShotDiameter + 5.0;
        drawText(FindingLegendText(), false);
    }
    painter.restore();
}

void VeSurveyMap::PaintScaleBar(QPainter& painter, const QRectF& rect) const
{
    const QRectF plot = PlotRect(rect);
    const double s = Scale(rect);
    const double length = NiceLength(plot.width() / 4.0 / s);
    if (!(length > 0.0))
        return;
    const double pixels = length * s;
    const double y = rect.bottom() - kScaleBarHeight / 2.0;
    const double x0 = plot.left();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(kTextColor, 1.0));
    painter.drawLine(QPointF(x0, y), QPointF(x0 + pixels, y));
    painter.drawLine(QPointF(x0, y - 4), QPointF(x0, y + 4));
    painter.drawLine(QPointF(x0 + pixels, y - 4), QPointF(x0 + pixels, y + 4));
    const QFontMetricsF fm(painter.font());
    painter.drawText(QPointF(x0 + pixels + 6.0, y + (fm.ascent() - fm.descent()) / 2.0),
                     QString::number(length, 'g', 6));
    painter.restore();
}
