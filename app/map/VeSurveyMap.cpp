#include "VeSurveyMap.h"

#include "VeSurveyMapImage.h"

#include "VePrevSegySRGeometry.h"
#include "VePrevStackSegyGeometry.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QVector>

#include <algorithm>
#include <cmath>

namespace {
// Fixed pixel sizes, so a point's place on the map does not depend on the fonts.
constexpr double kLegendHeight = 26.0;
constexpr double kScaleBarHeight = 26.0;
constexpr double kMargin = 12.0;
// Room for the tick marks and numbers outside the bottom and left edges.
constexpr double kAxisSpace = 18.0;
constexpr double kTickLength = 4.0;
constexpr double kShotDiameter = 9.0;
constexpr double kReceiverSide = 6.0;
// The largest markers drawn for points; closer points get smaller ones, down
// to one pixel.
constexpr int kLargestShot = 9;
constexpr int kLargestReceiver = 7;
// A marker takes this share of the distance to its neighbour, so gaps stay.
constexpr double kMarkerShare = 0.7;
// From this size on shots are circles (odd sizes, centred on their pixel).
constexpr int kSmallestCircle = 5;
// Findings ring the records' markers, so both stay visible.
constexpr double kFindingDiameter = 17.0;
constexpr double kMarkedDiameter = 27.0;
constexpr double kMinZoom = 1.0 / 32.0;
constexpr double kMaxZoom = 1.0e5;

const QColor kTextColor(0x30, 0x30, 0x30);
const QColor kFrameColor(0xc8, 0xc8, 0xc8);

// Calls visit(point) for each record with finite coordinates, in order; false
// when stop was set on the way.
template <typename Visit>
bool ForEachPlaced(const VeSRRecordSnapshot& records, Visit&& visit,
                   const std::atomic<bool>* stop = nullptr)
{
    size_t n = 0;
    bool stopped = false;
    records.ForEach([&](const VePrevSegySRGeometry& r) {
        if (stopped)
            return;
        if ((++n & 0xffff) == 0 && stop && stop->load(std::memory_order_relaxed)) {
            stopped = true;
            return;
        }
        if (std::isfinite(r.m_fX) && std::isfinite(r.m_fY))
            visit(QPointF(double(r.m_fX), double(r.m_fY)));
    });
    return !stopped;
}

// The median distance between neighbours in number order (the records'
// order) among those placed: along a line that is the station spacing,
// whatever the line changes. Up to 20000 pairs spread over them are enough to tell.
double TypicalSpacing(const VeSRRecordSnapshot& records)
{
    size_t placed = 0;
    ForEachPlaced(records, [&](const QPointF&) { ++placed; });
    if (placed < 2)
        return 0.0;
    const size_t pairs = placed - 1;
    const size_t step = std::max<size_t>(1, pairs / 20000);
    std::vector<double> distances;
    distances.reserve(pairs / step + 1);
    size_t i = 0;
    QPointF last;
    ForEachPlaced(records, [&](const QPointF& p) {
        // The pair of the (i - 1)-th and the i-th, every step-th.
        if (i > 0 && (i - 1) % step == 0) {
            const double d = std::hypot(p.x() - last.x(), p.y() - last.y());
            if (d > 0.0 && std::isfinite(d))
                distances.push_back(d);
        }
        last = p;
        ++i;
    });
    if (distances.empty())
        return 0.0;
    auto middle = distances.begin() + std::ptrdiff_t(distances.size() / 2);
    std::nth_element(distances.begin(), middle, distances.end());
    return *middle;
}

int MarkerSize(double spacing, double scale, int largest)
{
    if (!(spacing > 0.0))
        return largest;
    const double pixels = spacing * scale * kMarkerShare;
    if (!(pixels < largest))
        return largest;
    return std::max(1, int(pixels));
}

// The smallest 1, 2 or 5 times a power of ten that is at least the length.
double NiceStepAtLeast(double length)
{
    if (!(length > 0.0) || !std::isfinite(length))
        return 0.0;
    const double power = std::pow(10.0, std::floor(std::log10(length)));
    for (double step : {1.0, 2.0, 5.0, 10.0})
        if (step * power >= length)
            return step * power;
    return 10.0 * power;
}

QString TickText(double value, double step)
{
    const int decimals = step >= 1.0 ? 0 : int(std::ceil(-std::log10(step) - 1e-9));
    // Rounded to the step, so that no "-0" or 452499.99999 shows.
    const double rounded = std::round(value / step) * step;
    return QString::number(rounded == 0.0 ? 0.0 : rounded, 'f', decimals);
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
    SetPoints(MakePoints(geometry->ShotSnapshot(), geometry->ReceiverSnapshot()));
}

VeSurveyMap::MapPoints VeSurveyMap::MakePoints(const VeSRRecordSnapshot& shots,
                                               const VeSRRecordSnapshot& receivers)
{
    MapPoints made;
    made.shotCount = int(shots.Size());
    made.receiverCount = int(receivers.Size());
    made.shots = shots;
    made.receivers = receivers;
    made.shotSpacing = TypicalSpacing(shots);
    made.receiverSpacing = TypicalSpacing(receivers);

    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    bool first = true;
    for (const VeSRRecordSnapshot* records : {&shots, &receivers})
        ForEachPlaced(*records, [&](const QPointF& p) {
            if (first) {
                minX = maxX = p.x();
                minY = maxY = p.y();
                first = false;
                return;
            }
            minX = std::min(minX, p.x());
            maxX = std::max(maxX, p.x());
            minY = std::min(minY, p.y());
            maxY = std::max(maxY, p.y());
        });
    made.placed = !first;
    made.bounds = first ? QRectF() : QRectF(QPointF(minX, minY), QPointF(maxX, maxY));
    return made;
}

void VeSurveyMap::SetPoints(MapPoints points)
{
    m_nShotCount = points.shotCount;
    m_nReceiverCount = points.receiverCount;
    m_ShotRecords = std::move(points.shots);
    m_ReceiverRecords = std::move(points.receivers);
    m_bPlaced = points.placed;
    m_dShotSpacing = points.shotSpacing;
    m_dReceiverSpacing = points.receiverSpacing;
    m_Bounds = points.bounds;
}

void VeSurveyMap::SetRecords(const std::vector<VePrevSegySRGeometry>& shots,
                             const std::vector<VePrevSegySRGeometry>& receivers)
{
    SetPoints(MakePoints(VeSRRecordSnapshot::Of(shots), VeSRRecordSnapshot::Of(receivers)));
}

void VeSurveyMap::Clear()
{
    SetRecords({}, {});
}

const std::vector<QPointF>& VeSurveyMap::Points(const PointTable& table)
{
    static const std::vector<QPointF> none;
    return table ? *table : none;
}

void VeSurveyMap::SetFindingMarks(std::vector<QPointF> marks)
{
    marks.erase(std::remove_if(marks.begin(), marks.end(),
                               [](const QPointF& p) {
                                   return !std::isfinite(p.x()) || !std::isfinite(p.y());
                               }),
                marks.end());
    m_pFindingMarks =
        marks.empty() ? nullptr : std::make_shared<const std::vector<QPointF>>(std::move(marks));
}

QString VeSurveyMap::FindingLegendText() const
{
    return tr("Check findings: %1").arg(FindingMarks().size());
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
    QRectF plot = rect.adjusted(kMargin + kAxisSpace, kLegendHeight + kMargin, -kMargin,
                                -(kScaleBarHeight + kMargin + kAxisSpace));
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
    PaintBeneath(painter, rect);
    if (!Stopped())
        PaintAbove(painter, rect);
}

void VeSurveyMap::PaintBeneath(QPainter& painter, const QRectF& rect) const
{
    painter.save();
    painter.setClipRect(rect);
    painter.fillRect(rect, BackgroundColor());
    const QRectF plot = PlotRect(rect);
    painter.setPen(QPen(kFrameColor, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot.adjusted(-kMargin / 2, -kMargin / 2, kMargin / 2, kMargin / 2));
    if (HasPoints()) {
        if (m_Underlay)
            m_Underlay(painter, *this, rect);
        PaintMarkers(painter, rect);
    }
    painter.restore();
}

void VeSurveyMap::PaintAbove(QPainter& painter, const QRectF& rect) const
{
    painter.save();
    painter.setClipRect(rect);
    QFont font = painter.font();
    font.setPixelSize(12);
    painter.setFont(font);
    if (HasPoints()) {
        PaintFindings(painter, rect);
        PaintAxes(painter, rect);
        PaintScaleBar(painter, rect);
    } else {
        painter.setPen(kTextColor);
        const QString text =
            m_strEmptyText.isEmpty() ? tr("No shots or receivers") : m_strEmptyText;
        painter.drawText(PlotRect(rect), Qt::AlignCenter | Qt::TextWordWrap, text);
    }
    PaintLegend(painter, rect);
    painter.restore();
}

int VeSurveyMap::ShotMarkerSize(const QRectF& rect) const
{
    return MarkerSize(m_dShotSpacing, Scale(rect), kLargestShot);
}

int VeSurveyMap::ReceiverMarkerSize(const QRectF& rect) const
{
    return MarkerSize(m_dReceiverSpacing, Scale(rect), kLargestReceiver);
}

void VeSurveyMap::PaintMarkers(QPainter& painter, const QRectF& rect) const
{
    const QRectF plot = PlotRect(rect);
    // Marks half outside the plot area still show in its margin; farther ones are skipped.
    const QRectF visible = plot.adjusted(-kMargin, -kMargin, kMargin, kMargin);
    painter.save();
    const QRectF clip = visible.intersected(rect);
    painter.setClipRect(clip);
    // Where the clip is whole pixels, opaque squares go straight into the image.
    const QRect pixelClip = clip.toAlignedRect();
    const bool wholePixels = QRectF(pixelClip) == clip;
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setOpacity(m_dMarkerOpacity);

    // Each marker covers the pixel that holds its point, centred on it where
    // its size is odd; squares go in one call, without antialiasing.
    // A batch at a time: the squares of millions of points would be a second
    // table as large as the points.
    const auto draw = [&](const QVector<QRect>& squares) {
        if (!wholePixels || !FillOpaqueRects(painter, pixelClip, squares))
            painter.drawRects(squares);
    };
    const auto drawSquares = [&](const VeSRRecordSnapshot& records, int side) {
        constexpr int kBatch = 1 << 16;
        QVector<QRect> squares;
        squares.reserve(kBatch);
        const int half = (side - 1) / 2;
        const bool drawn = ForEachPlaced(
            records,
            [&](const QPointF& p) {
                const QPointF at = WorldToPixel(p.x(), p.y(), rect);
                if (!visible.contains(at))
                    return;
                squares.append(QRect(int(std::floor(at.x())) - half, int(std::floor(at.y())) - half,
                                     side, side));
                if (squares.size() == kBatch) {
                    draw(squares);
                    squares.clear();
                }
            },
            m_pStop);
        if (drawn)
            draw(squares);
    };
    painter.setBrush(ReceiverColor());
    drawSquares(m_ReceiverRecords, ReceiverMarkerSize(rect));
    if (Stopped()) {
        painter.restore();
        return;
    }

    // Shots last: there are fewer of them and they must stay visible over the
    // receiver lines. Small ones are squares too; larger ones one circle drawn
    // once, with its outline, and copied to every shot.
    int shot = ShotMarkerSize(rect);
    if (shot < kSmallestCircle) {
        painter.setBrush(ShotColor());
        drawSquares(m_ShotRecords, shot);
        painter.restore();
        return;
    }
    if (shot % 2 == 0) // a circle centres on its pixel at odd sizes only
        --shot;
    const int side = shot + 2;
    QImage sprite(side, side, QImage::Format_ARGB32_Premultiplied);
    sprite.fill(Qt::transparent);
    {
        QPainter p(&sprite);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(ShotColor().darker(160), 1.0));
        p.setBrush(ShotColor());
        p.drawEllipse(QPointF(side / 2.0, side / 2.0), shot / 2.0, shot / 2.0);
    }
    const int half = (side - 1) / 2;
    ForEachPlaced(
        m_ShotRecords,
        [&](const QPointF& p) {
            const QPointF at = WorldToPixel(p.x(), p.y(), rect);
            if (visible.contains(at))
                painter.drawImage(
                    QPoint(int(std::floor(at.x())) - half, int(std::floor(at.y())) - half), sprite);
        },
        m_pStop);
    painter.restore();
}

void VeSurveyMap::PaintFindings(QPainter& painter, const QRectF& rect) const
{
    if (FindingMarks().empty() && !m_MarkedPoint)
        return;
    const QRectF plot = PlotRect(rect);
    const QRectF visible = plot.adjusted(-kMargin, -kMargin, kMargin, kMargin);
    painter.save();
    painter.setClipRect(visible.intersected(rect));
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(FindingColor(), 2.5));
    for (const QPointF& p : FindingMarks()) {
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

    if (!FindingMarks().empty()) {
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

double VeSurveyMap::ScaleBarLength(const QRectF& rect) const
{
    return NiceLength(PlotRect(rect).width() / 4.0 / Scale(rect));
}

QString VeSurveyMap::ScaleBarText(const QRectF& rect) const
{
    const double length = ScaleBarLength(rect);
    if (!(length > 0.0))
        return QString();
    return tr("%1 %2").arg(QString::number(length, 'g', 6), m_strUnit);
}

void VeSurveyMap::PaintScaleBar(QPainter& painter, const QRectF& rect) const
{
    const QRectF plot = PlotRect(rect);
    const double s = Scale(rect);
    const double length = ScaleBarLength(rect);
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
                     ScaleBarText(rect));
    painter.restore();
}

std::vector<VeSurveyMap::Tick> VeSurveyMap::Ticks(bool eastings, const QRectF& rect) const
{
    std::vector<Tick> ticks;
    const QRectF frame =
        PlotRect(rect).adjusted(-kMargin / 2, -kMargin / 2, kMargin / 2, kMargin / 2);
    const double scale = Scale(rect);
    const QPointF low = PixelToWorld(frame.bottomLeft(), rect);
    const QPointF high = PixelToWorld(frame.topRight(), rect);
    const double from = eastings ? low.x() : low.y();
    const double to = eastings ? high.x() : high.y();
    if (!(scale > 0.0) || !std::isfinite(from) || !std::isfinite(to) || !(to > from))
        return ticks;
    // Numbers stand apart by their own width and a gap; the font is the one
    // Paint draws with.
    QFont font;
    font.setPixelSize(12);
    const QFontMetricsF fm(font);
    const auto widest = [&](double step) {
        return std::max(fm.horizontalAdvance(TickText(from, step)),
                        fm.horizontalAdvance(TickText(to, step)));
    };
    double step = NiceStepAtLeast((widest(1.0) + 16.0) / scale);
    // Steps below 1 add decimals, and so width.
    if (step > 0.0 && step < 1.0)
        step = NiceStepAtLeast((widest(step) + 16.0) / scale);
    if (!(step > 0.0))
        return ticks;
    const double frameFrom = eastings ? frame.left() : frame.bottom();
    const double frameTo = eastings ? frame.right() : frame.top();
    // Far out at a great zoom, steps may be too fine for the values' precision.
    const double first = std::ceil(from / step), last = std::floor(to / step);
    if (!(last - first < 1000.0) || first + 1.0 == first)
        return ticks;
    for (double k = first; k <= last; k += 1.0) {
        const double value = k * step;
        const QPointF at =
            eastings ? WorldToPixel(value, 0.0, rect) : WorldToPixel(0.0, value, rect);
        const double pixel = eastings ? at.x() : at.y();
        const QString text = TickText(value, step);
        // A number that would stand out past the frame's ends is left out.
        const double half = fm.horizontalAdvance(text) / 2.0;
        if (eastings ? (pixel - half < frameFrom || pixel + half > frameTo)
                     : (pixel + half > frameFrom || pixel - half < frameTo))
            continue;
        ticks.push_back({pixel, text});
    }
    return ticks;
}

bool VeSurveyMap::AxesArePlain(const QRectF& rect) const
{
    return HasPoints() && Ticks(true, rect).size() >= 2 && Ticks(false, rect).size() >= 2;
}

void VeSurveyMap::PaintAxes(QPainter& painter, const QRectF& rect) const
{
    const QRectF frame =
        PlotRect(rect).adjusted(-kMargin / 2, -kMargin / 2, kMargin / 2, kMargin / 2);
    const std::vector<Tick> eastings = Ticks(true, rect);
    const std::vector<Tick> northings = Ticks(false, rect);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(kTextColor, 1.0));
    const QFontMetricsF fm(painter.font());
    const double textHeight = fm.ascent() + fm.descent();
    // Eastings below the bottom edge, northings left of the left edge, read
    // from below as map makers write them.
    for (const Tick& t : eastings) {
        painter.drawLine(QPointF(t.pixel, frame.bottom()),
                         QPointF(t.pixel, frame.bottom() + kTickLength));
        painter.drawText(QRectF(t.pixel - 200.0, frame.bottom() + kTickLength, 400.0, textHeight),
                         Qt::AlignHCenter | Qt::AlignTop, t.text);
    }
    for (const Tick& t : northings) {
        painter.drawLine(QPointF(frame.left() - kTickLength, t.pixel),
                         QPointF(frame.left(), t.pixel));
        painter.save();
        painter.translate(frame.left() - kTickLength, t.pixel);
        painter.rotate(-90.0);
        painter.drawText(QRectF(-200.0, -textHeight, 400.0, textHeight),
                         Qt::AlignHCenter | Qt::AlignBottom, t.text);
        painter.restore();
    }
    painter.restore();
    if (eastings.size() < 2 || northings.size() < 2)
        PaintNorthArrow(painter, rect);
}

void VeSurveyMap::PaintNorthArrow(QPainter& painter, const QRectF& rect) const
{
    // In the plot's top right corner: north is up on this map.
    const QRectF plot = PlotRect(rect);
    const QPointF tip(plot.right() - 10.0, plot.top() + 14.0);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(kTextColor, 1.0));
    painter.setBrush(kTextColor);
    const QPointF arrow[] = {tip, tip + QPointF(5.0, 14.0), tip + QPointF(0.0, 10.0),
                             tip + QPointF(-5.0, 14.0)};
    painter.drawPolygon(arrow, 4);
    painter.drawText(QRectF(tip.x() - 10.0, tip.y() - 15.0, 20.0, 14.0),
                     Qt::AlignHCenter | Qt::AlignBottom, tr("N"));
    painter.restore();
}
