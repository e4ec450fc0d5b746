#pragma once

#include "VeSurveyMap.h"

#include <QImage>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <future>
#include <memory>
#include <optional>
#include <vector>

class SPSCheckFindingList;

#include "VePrevStackSegyGeometry.h"

class VeFoldMap;

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

    // The survey check's layer and the point singled out; see VeSurveyMap.
    void SetFindingMarks(std::vector<QPointF> marks);
    void SetFindingMarks(VeSurveyMap::PointTable marks);
    void SetMarkedPoint(std::optional<QPointF> point);
    // The fold's layer: its bins beneath faint points and its colour bar in a
    // strip at the right, all drawn on the drawing thread, which shares the
    // fold map (nothing changes it any more). Null shows none (at first).
    void SetFoldLayer(std::shared_ptr<const VeFoldMap> fold);
    const std::shared_ptr<const VeFoldMap>& FoldLayer() const { return m_pFold; }
    // Where the map lies in the widget: all of it, or left of the colour bar.
    QRectF MapRect() const;
    // Pans so that the world point is at the centre, keeping the zoom.
    void CentreOn(double x, double y);

    // The world points a click may pick, by the caller's index; those without
    // a place cannot be picked. None at first.
    void SetPickablePoints(std::vector<std::optional<QPointF>> points);
    // The places of a check's findings, by their index in the list, read
    // where they stand: a list of millions needs no table of its own.
    void SetPickableFindings(std::shared_ptr<const SPSCheckFindingList> findings);
    // The index of the pickable point drawn nearest to the widget pixel and
    // within a few pixels of it (of equally near ones, the last); -1 for none.
    int PickablePointAt(const QPointF& pixel) const;

    QSize sizeHint() const override { return QSize(640, 480); }

    // Whether the map's picture of the current view is still being drawn.
    bool IsDrawing() const
    {
        return m_bDrawing || m_bRedrawPending || m_bTakingPoints || m_RefreshTimer.isActive();
    }
    // The last finished picture of the map (of the view it was drawn for).
    QImage DrawnImage() const { return m_Image; }

Q_SIGNALS:
    // The picture of the current view is finished and shown.
    void sigDrawn();
    // A left click that did not drag, at this world point and widget pixel.
    void sigClicked(const QPointF& world, const QPointF& pixel);
    // The same click, on a pickable point: its index.
    void sigPointPicked(int index);

public Q_SLOTS:
    // Takes a fresh snapshot of the geometry and repaints.
    void Refresh();
    void ResetView();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // Asks for a new picture of the current view; one is drawn at a time and
    // the latest request wins.
    void Redraw();
    void StartDrawing();
    // The drawing thread has finished a picture: shows it.
    Q_INVOKABLE void Drawn();
    // Makes the map's points of the geometry's records on a thread of its own.
    void StartTakingPoints();
    Q_INVOKABLE void PointsTaken();

public:
    // How many pictures of the points (and the fold beneath them) were
    // drawn: finding marks, the marked point and the title are drawn over
    // the last one of the same view.
    int PointsLayersDrawn() const { return m_nBeneathDrawn; }

private:
    QPointer<VePrevStackSegyGeometry> m_pGeometry;
    VeSurveyMap m_Map;
    std::shared_ptr<const std::vector<std::optional<QPointF>>> m_pPickablePoints;
    std::shared_ptr<const SPSCheckFindingList> m_pPickableFindings; // or these
    std::shared_ptr<const VeFoldMap> m_pFold;
    // Gathers the notices of a running load into a few refreshes.
    QTimer m_RefreshTimer;
    QPointF m_LastDragPos;
    QPointF m_PressPos;
    bool m_bDragging = false;

    // The drawing thread's own copy of the map: the UI thread leaves it alone
    // while a picture is drawn and changes its view only between drawings.
    std::shared_ptr<VeSurveyMap> m_pDrawMap;
    bool m_bDrawMapStale = true;
    // What the picture of the layer beneath (points and fold) depends on.
    struct BeneathKey
    {
        QSize size;
        qreal ratio = 0;
        double zoom = 0;
        QPointF pan;
        quint64 points = 0; // the snapshot's number
        const VeFoldMap* fold = nullptr;
        bool operator==(const BeneathKey& o) const
        {
            return size == o.size && ratio == o.ratio && zoom == o.zoom && pan == o.pan &&
                   points == o.points && fold == o.fold;
        }
    };
    struct DrawnPicture
    {
        QImage image;
        QImage beneath; // the layer beneath alone, for the next picture of this view
        bool beneathDrawn = false;
        BeneathKey key;
        QPointF worldTopLeft;
        QPointF worldBottomRight;
        bool stopped = false; // unfinished: not to be shown
    };
    struct TakenPoints
    {
        const VePrevStackSegyGeometry* geometry = nullptr; // compared, never followed
        VeSurveyMap::MapPoints points;
    };
    std::future<TakenPoints> m_TakingPoints;
    bool m_bTakingPoints = false;
    bool m_bRefreshPending = false; // records came while points were being made
    quint64 m_nSnapshot = 0;
    BeneathKey m_BeneathKey;
    QImage m_Beneath;
    int m_nBeneathDrawn = 0;
    std::future<DrawnPicture> m_Drawing;
    // Set to end the drawing early: a new layer makes its picture useless.
    std::shared_ptr<std::atomic<bool>> m_pDrawingStop;
    bool m_bDrawing = false;
    bool m_bRedrawPending = false;
    // The finished picture and the world corners it shows, so that it can be
    // shown shifted and scaled while the next view is drawn.
    QImage m_Image;
    QPointF m_ImageWorldTopLeft;
    QPointF m_ImageWorldBottomRight;
};
