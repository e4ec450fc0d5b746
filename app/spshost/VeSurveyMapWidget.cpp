#include "VeSurveyMapWidget.h"

#include "VePrevStackSegyGeometry.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <cmath>

namespace {
// A snapshot copies every record; during a long load a few per second are enough.
constexpr int kRefreshDelayMs = 150;
// A press and release closer than this is a click, not a drag.
constexpr double kClickSlop = 4.0;
// A click this close to a point's marker picks it.
constexpr double kPickRadius = 10.0;
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

VeSurveyMapWidget::~VeSurveyMapWidget() = default;

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
    m_Map.SetGeometry(geometry);
    m_Map.SetTitle(geometry ? geometry->GetName() : QString());
    m_Map.SetEmptyText(geometry ? QString() : tr("Select a geometry to see its map"));
    update();
}

void VeSurveyMapWidget::ResetView()
{
    m_Map.ResetView();
    update();
}

QPointF VeSurveyMapWidget::WorldToPixel(double x, double y) const
{
    return m_Map.WorldToPixel(x, y, MapRect());
}

void VeSurveyMapWidget::SetFindingMarks(std::vector<QPointF> marks)
{
    m_Map.SetFindingMarks(std::move(marks));
    update();
}

void VeSurveyMapWidget::SetMarkedPoint(std::optional<QPointF> point)
{
    m_Map.SetMarkedPoint(point);
    update();
}

void VeSurveyMapWidget::CentreOn(double x, double y)
{
    m_Map.CentreOn(x, y, MapRect());
    update();
}

void VeSurveyMapWidget::SetPickablePoints(std::vector<std::optional<QPointF>> points)
{
    m_PickablePoints = std::move(points);
}

int VeSurveyMapWidget::PickablePointAt(const QPointF& pixel) const
{
    int best = -1;
    double bestDistance = kPickRadius;
    for (size_t i = 0; i < m_PickablePoints.size(); ++i) {
        const std::optional<QPointF>& point = m_PickablePoints[i];
        if (!point)
            continue;
        const QPointF d = WorldToPixel(point->x(), point->y()) - pixel;
        const double distance = std::hypot(d.x(), d.y());
        if (distance <= bestDistance) {
            bestDistance = distance;
            best = int(i);
        }
    }
    return best;
}

void VeSurveyMapWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    m_Map.Paint(painter, MapRect());
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
    update();
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
    update();
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
