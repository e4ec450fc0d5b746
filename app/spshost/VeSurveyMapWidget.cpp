#include "VeSurveyMapWidget.h"

#include "SPSCheckFinding.h"
#include "VeFoldMap.h"
#include "VePrevStackSegyGeometry.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <utility>

#include <cmath>

namespace {
// The map's points are made anew from every record; during a long load a few
// times a second are enough.
constexpr int kRefreshDelayMs = 150;
// A press and release closer than this is a click, not a drag.
constexpr double kClickSlop = 4.0;
// A click this close to a point's marker picks it.
constexpr double kPickRadius = 10.0;
// Points over the fold's bins: faint enough that a survey whose markers
// cover every pixel still shows its bins' colours.
constexpr double kPointsOverFoldOpacity = 0.15;
} // namespace

VeSurveyMapWidget::VeSurveyMapWidget(QWidget* parent) : QWidget(parent)
{
    setMinimumSize(200, 150);
    setMouseTracking(false);
    setFocusPolicy(Qt::WheelFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_Map.SetEmptyText(tr("Select a geometry to see its map"));
    m_RefreshTimer.setSingleShot(true);
    m_RefreshTimer.setInterval(kRefreshDelayMs);
    connect(&m_RefreshTimer, &QTimer::timeout, this, &VeSurveyMapWidget::Refresh);
}

VeSurveyMapWidget::~VeSurveyMapWidget()
{
    // The drawing and point threads post to this widget: they must have ended first.
    if (m_Drawing.valid())
        m_Drawing.wait();
    if (m_TakingPoints.valid())
        m_TakingPoints.wait();
}

void VeSurveyMapWidget::Redraw()
{
    update();
    if (m_bDrawing) {
        m_bRedrawPending = true;
        return;
    }
    StartDrawing();
}

void VeSurveyMapWidget::StartDrawing()
{
    m_bRedrawPending = false;
    const QSize size = this->size();
    if (size.isEmpty())
        return;
    if (m_bDrawMapStale || !m_pDrawMap) {
        m_pDrawMap = std::make_shared<VeSurveyMap>(m_Map);
        m_bDrawMapStale = false;
        ++m_nSnapshot;
    } else {
        // Only the parts other than the points may have changed since.
        m_pDrawMap->SetFindingMarks(m_Map.SharedFindingMarks());
        m_pDrawMap->SetMarkedPoint(m_Map.MarkedPoint());
        m_pDrawMap->SetTitle(m_Map.GetTitle());
    }
    // The fold's bins go beneath the points, which show faintly over them.
    const std::shared_ptr<const VeFoldMap> fold = m_pFold;
    if (fold)
        m_pDrawMap->SetUnderlay(
            [fold](QPainter& painter, const VeSurveyMap& map, const QRectF& rect) {
                fold->PaintBins(painter, map, rect);
            });
    else
        m_pDrawMap->SetUnderlay(nullptr);
    m_pDrawMap->SetMarkerOpacity(fold ? kPointsOverFoldOpacity : 1.0);
    // The same view: zooming about the plot's centre from the fitted view
    // leaves the pan at zero, then the pan is added.
    VeSurveyMap& map = *m_pDrawMap;
    const QRectF rect = MapRect();
    map.ResetView();
    map.ZoomAt(map.PlotRect(rect).center(), m_Map.Zoom(), rect);
    map.PanBy(m_Map.Pan() - map.Pan());

    const qreal ratio = devicePixelRatioF();
    const BeneathKey key{size, ratio, m_Map.Zoom(), m_Map.Pan(), m_nSnapshot, fold.get()};
    // Shared, never written: the drawing paints on a copy of its own.
    QImage beneath = key == m_BeneathKey ? m_Beneath : QImage();
    m_bDrawing = true;
    m_pDrawingStop = std::make_shared<std::atomic<bool>>(false);
    m_pDrawMap->SetStop(m_pDrawingStop.get());
    m_Drawing = std::async(std::launch::async, [this, drawMap = m_pDrawMap, fold, size, ratio,
                                                stop = m_pDrawingStop, beneath, key]() {
        DrawnPicture picture;
        picture.key = key;
        const QRectF area{QPointF(), QSizeF(size)};
        const QRectF mapArea = fold ? fold->MapRect(area) : area;
        picture.beneath = beneath;
        if (picture.beneath.isNull()) {
            picture.beneath = QImage(size * ratio, QImage::Format_ARGB32_Premultiplied);
            picture.beneath.setDevicePixelRatio(ratio);
            picture.beneath.fill(VeSurveyMap::BackgroundColor());
            QPainter painter(&picture.beneath);
            drawMap->PaintBeneath(painter, mapArea);
            if (fold)
                fold->PaintBar(painter, fold->BarRect(area));
            picture.beneathDrawn = true;
        }
        picture.image = picture.beneath;
        if (!stop->load()) {
            QPainter painter(&picture.image);
            drawMap->PaintAbove(painter, mapArea);
        }
        picture.stopped = stop->load();
        picture.worldTopLeft = drawMap->PixelToWorld(area.topLeft(), mapArea);
        picture.worldBottomRight = drawMap->PixelToWorld(area.bottomRight(), mapArea);
        // Queued by name and carrying nothing: the picture travels through the
        // future, whose hand-over the thread sanitizer sees (Qt's event queue
        // it cannot see).
        QMetaObject::invokeMethod(this, "Drawn", Qt::QueuedConnection);
        return picture;
    });
}

void VeSurveyMapWidget::Drawn()
{
    // Waits at most for the drawing thread's return from its last statement.
    DrawnPicture picture = m_Drawing.get();
    m_bDrawing = false;
    if (!picture.stopped) {
        if (picture.beneathDrawn) {
            ++m_nBeneathDrawn;
            m_Beneath = std::move(picture.beneath);
            m_BeneathKey = picture.key;
        }
        m_Image = std::move(picture.image);
        m_ImageWorldTopLeft = picture.worldTopLeft;
        m_ImageWorldBottomRight = picture.worldBottomRight;
        update();
    }
    if (m_bRedrawPending) {
        StartDrawing();
        return;
    }
    // The picture of points still being made is not the map's last.
    if (!m_bTakingPoints)
        Q_EMIT sigDrawn();
}

void VeSurveyMapWidget::SetGeometry(VePrevStackSegyGeometry* geometry)
{
    if (geometry == m_pGeometry)
        return;
    if (m_pGeometry)
        disconnect(m_pGeometry, nullptr, this, nullptr);
    m_pGeometry = geometry;
    if (geometry) {
        connect(geometry, &VePrevStackSegyGeometry::sigRecordsAdded, this, [this]() {
            if (!m_RefreshTimer.isActive())
                m_RefreshTimer.start();
        });
        connect(geometry, &QObject::destroyed, this, &VeSurveyMapWidget::Refresh);
    }
    m_Map.ResetView();
    Refresh();
}

void VeSurveyMapWidget::Refresh()
{
    m_RefreshTimer.stop();
    // Null too once the geometry is being destroyed.
    const VePrevStackSegyGeometry* geometry = m_pGeometry;
    m_Map.SetTitle(geometry ? geometry->GetName() : QString());
    m_Map.SetEmptyText(geometry ? QString() : tr("Select a geometry to see its map"));
    if (m_bTakingPoints) {
        m_bRefreshPending = true;
        return;
    }
    StartTakingPoints();
}

void VeSurveyMapWidget::StartTakingPoints()
{
    m_bRefreshPending = false;
    const VePrevStackSegyGeometry* geometry = m_pGeometry;
    if (!geometry) {
        m_Map.Clear();
        m_bDrawMapStale = true;
        Redraw();
        return;
    }
    // Millions of points are made into the map's tables off the UI thread,
    // from snapshots that share the geometry's records without copying them.
    m_bTakingPoints = true;
    m_TakingPoints =
        std::async(std::launch::async, [this, geometry, shots = geometry->ShotSnapshot(),
                                        receivers = geometry->ReceiverSnapshot()]() {
            TakenPoints taken;
            taken.geometry = geometry;
            taken.points = VeSurveyMap::MakePoints(shots, receivers);
            // Queued by name, carrying nothing: the points travel through the future.
            QMetaObject::invokeMethod(this, "PointsTaken", Qt::QueuedConnection);
            return taken;
        });
}

void VeSurveyMapWidget::PointsTaken()
{
    TakenPoints taken = m_TakingPoints.get();
    m_bTakingPoints = false;
    // Points of a geometry no longer shown are of no use; the address alone is compared.
    if (taken.geometry == m_pGeometry.data()) {
        m_Map.SetPoints(std::move(taken.points));
        m_bDrawMapStale = true;
        Redraw();
    }
    if (m_bRefreshPending || taken.geometry != m_pGeometry.data())
        StartTakingPoints();
}

void VeSurveyMapWidget::ResetView()
{
    m_Map.ResetView();
    Redraw();
}

QPointF VeSurveyMapWidget::WorldToPixel(double x, double y) const
{
    return m_Map.WorldToPixel(x, y, MapRect());
}

void VeSurveyMapWidget::SetFindingMarks(std::vector<QPointF> marks)
{
    m_Map.SetFindingMarks(std::move(marks));
    Redraw();
}

void VeSurveyMapWidget::SetFindingMarks(VeSurveyMap::PointTable marks)
{
    m_Map.SetFindingMarks(std::move(marks));
    Redraw();
}

void VeSurveyMapWidget::SetMarkedPoint(std::optional<QPointF> point)
{
    m_Map.SetMarkedPoint(point);
    Redraw();
}

void VeSurveyMapWidget::SetFoldLayer(std::shared_ptr<const VeFoldMap> fold)
{
    if (fold == m_pFold)
        return;
    m_pFold = std::move(fold);
    // The picture being drawn has the former layer: no use waiting for it.
    if (m_bDrawing)
        m_pDrawingStop->store(true);
    Redraw();
}

QRectF VeSurveyMapWidget::MapRect() const
{
    return m_pFold ? m_pFold->MapRect(QRectF(rect())) : QRectF(rect());
}

void VeSurveyMapWidget::CentreOn(double x, double y)
{
    m_Map.CentreOn(x, y, MapRect());
    Redraw();
}

void VeSurveyMapWidget::SetPickablePoints(std::vector<std::optional<QPointF>> points)
{
    m_pPickablePoints =
        std::make_shared<const std::vector<std::optional<QPointF>>>(std::move(points));
    m_pPickableFindings.reset();
}

void VeSurveyMapWidget::SetPickableFindings(std::shared_ptr<const SPSCheckFindingList> findings)
{
    m_pPickableFindings = std::move(findings);
    m_pPickablePoints.reset();
}

int VeSurveyMapWidget::PickablePointAt(const QPointF& pixel) const
{
    int best = -1;
    double bestDistance = kPickRadius;
    const auto consider = [&](size_t i, double x, double y) {
        const QPointF d = WorldToPixel(x, y) - pixel;
        const double distance = std::hypot(d.x(), d.y());
        if (distance <= bestDistance) {
            bestDistance = distance;
            best = int(i);
        }
    };
    if (m_pPickablePoints) {
        const std::vector<std::optional<QPointF>>& points = *m_pPickablePoints;
        for (size_t i = 0; i < points.size(); ++i)
            if (const std::optional<QPointF>& point = points[i])
                consider(i, point->x(), point->y());
    } else if (m_pPickableFindings) {
        size_t i = 0;
        for (const SPSCheckFinding& f : *m_pPickableFindings) {
            if (f.hasPosition)
                consider(i, f.x, f.y);
            ++i;
        }
    }
    return best;
}

void VeSurveyMapWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRectF rect = MapRect();
    if (m_Image.isNull()) {
        painter.fillRect(QRectF(this->rect()), VeSurveyMap::BackgroundColor());
        return;
    }
    // The last picture where its corners fall in the current view, until the
    // picture of this view is ready.
    const QRectF target =
        QRectF(m_Map.WorldToPixel(m_ImageWorldTopLeft.x(), m_ImageWorldTopLeft.y(), rect),
               m_Map.WorldToPixel(m_ImageWorldBottomRight.x(), m_ImageWorldBottomRight.y(), rect))
            .normalized();
    const QSizeF imageSize = QSizeF(m_Image.size()) / m_Image.devicePixelRatio();
    if (std::abs(target.left()) < 0.5 && std::abs(target.top()) < 0.5 &&
        std::abs(target.width() - imageSize.width()) < 0.5 &&
        std::abs(target.height() - imageSize.height()) < 0.5) {
        painter.drawImage(QPointF(), m_Image);
        return;
    }
    painter.fillRect(QRectF(this->rect()), VeSurveyMap::BackgroundColor());
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(target, m_Image);
}

void VeSurveyMapWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Redraw();
}

void VeSurveyMapWidget::wheelEvent(QWheelEvent* event)
{
    const int steps = event->angleDelta().y();
    if (steps == 0) {
        event->ignore();
        return;
    }
    // One notch (120) zooms by 1.25.
    m_Map.ZoomAt(event->position(), std::pow(1.25, steps / 120.0), MapRect());
    Redraw();
    event->accept();
}

void VeSurveyMapWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_bDragging = true;
    m_LastDragPos = event->position();
    m_PressPos = event->position();
    setCursor(Qt::ClosedHandCursor);
}

void VeSurveyMapWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_bDragging) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    m_Map.PanBy(event->position() - m_LastDragPos);
    m_LastDragPos = event->position();
    Redraw();
}

void VeSurveyMapWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_bDragging) {
        m_bDragging = false;
        unsetCursor();
        const QPointF moved = event->position() - m_PressPos;
        if (std::abs(moved.x()) < kClickSlop && std::abs(moved.y()) < kClickSlop) {
            Q_EMIT sigClicked(m_Map.PixelToWorld(event->position(), MapRect()), event->position());
            if (const int picked = PickablePointAt(event->position()); picked >= 0)
                Q_EMIT sigPointPicked(picked);
        }
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void VeSurveyMapWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        ResetView();
}
