#pragma once

#include "VeSurveyMap.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "VePrevStackSegyGeometry.h"

// The survey map of one geometry on screen: the wheel zooms about the cursor, a
// drag with the left button pans, a double click fits the survey again. It follows
// the geometry while a load adds records to it.
class VeSurveyMapWidget : public QWidget
{
    Q_OBJECT
public:
    explicit VeSurveyMapWidget(QWidget* parent = nullptr);
    ~VeSurveyMapWidget() override;

    // The geometry shown; null shows none. The widget does not own it.
    void SetGeometry(VePrevStackSegyGeometry* geometry);
    VePrevStackSegyGeometry* Geometry() const { return m_pGeometry; }

    const VeSurveyMap& Map() const { return m_Map; }
    // Where a world point is drawn, in widget coordinates.
    QPointF WorldToPixel(double x, double y) const;

    QSize sizeHint() const override { return QSize(640, 480); }

public Q_SLOTS:
    // Takes a fresh snapshot of the geometry and repaints.
    void Refresh();
    void ResetView();

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QRectF MapRect() const { return QRectF(rect()); }

    QPointer<VePrevStackSegyGeometry> m_pGeometry;
    VeSurveyMap m_Map;
    // Gathers the notices of a running load into a few refreshes.
    QTimer m_RefreshTimer;
    QPointF m_LastDragPos;
    bool m_bDragging = false;
};
