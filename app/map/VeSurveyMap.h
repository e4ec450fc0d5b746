#pragma once

#include <QColor>
#include <QCoreApplication>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "VeSRRecordStore.h"

class QPainter;
class VePrevSegySRGeometry;
class VePrevStackSegyGeometry;

// A plan view of a survey: shots and receivers placed by X (east) and Y (north)
// at one scale on both axes, with a legend of the counts, a scale bar in the
// map's unit, and easting and northing ticks along the bottom and left edges
// (a north arrow stands in for them where the map is too small to number
// both). Markers are as large as the points' spacing on screen allows, down
// to a pixel, so that dense lines show single stations.
// It draws a snapshot of the records, so painting never waits for a running load;
// take a new snapshot when the geometry has grown. Copies of a map share its
// snapshot and its finding marks (a drawing thread's copy costs no points). The view (zoom and pan)
// is kept relative to the fitted view, so it survives a new snapshot and a new paint rect.
class VeSurveyMap
{
    Q_DECLARE_TR_FUNCTIONS(VeSurveyMap)
public:
    VeSurveyMap() = default;

    // Points shared between maps, never changed once shared.
    using PointTable = std::shared_ptr<const std::vector<QPointF>>;

    // What the map draws of a geometry's records: their usable points and
    // what is worked out from them. Made on any thread (MakePoints), set on
    // the map's own (SetPoints).
    struct MapPoints
    {
        int shotCount = 0;
        int receiverCount = 0;
        // Drawn where they stand, those with finite coordinates: a copy of
        // millions of points would cost as much as the geometry.
        VeSRRecordSnapshot shots, receivers;
        bool placed = false; // some have finite coordinates
        double shotSpacing = 0.0, receiverSpacing = 0.0;
        QRectF bounds;
    };
    static MapPoints MakePoints(const VeSRRecordSnapshot& shots,
                                const VeSRRecordSnapshot& receivers);
    void SetPoints(MapPoints points);

    // Takes a snapshot of the geometry's records; null draws the empty map.
    void SetGeometry(const VePrevStackSegyGeometry* geometry);
    void SetRecords(const std::vector<VePrevSegySRGeometry>& shots,
                    const std::vector<VePrevSegySRGeometry>& receivers);
    void Clear();
    // Drawn above the legend's counts; empty draws none.
    void SetTitle(const QString& title) { m_strTitle = title; }
    QString GetTitle() const { return m_strTitle; }
    // What the plot area says when there is nothing to draw.
    void SetEmptyText(const QString& text) { m_strEmptyText = text; }

    int ShotCount() const { return m_nShotCount; }
    int ReceiverCount() const { return m_nReceiverCount; }
    // The legend's texts, shots first.
    QString ShotLegendText() const;
    QString ReceiverLegendText() const;
    // Whether any record has usable (finite) coordinates, and their extent.
    bool HasPoints() const { return m_bPlaced; }
    QRectF WorldBounds() const { return m_Bounds; }

    // The unit of the coordinates, shown on the scale bar ("m" unless set).
    void SetUnit(const QString& unit) { m_strUnit = unit; }
    QString Unit() const { return m_strUnit; }
    // The typical distance between neighbouring shots and receivers (in
    // number order), in world units; 0 when there are too few to tell.
    double ShotSpacing() const { return m_dShotSpacing; }
    double ReceiverSpacing() const { return m_dReceiverSpacing; }
    // Marker sizes in pixels at this scale.
    int ShotMarkerSize(const QRectF& rect) const;
    int ReceiverMarkerSize(const QRectF& rect) const;
    // The scale bar's text, as drawn ("500 m").
    QString ScaleBarText(const QRectF& rect) const;
    // Whether both edges carry at least two numbered ticks; when not, the
    // map draws a north arrow.
    bool AxesArePlain(const QRectF& rect) const;

    // Points a survey check found doubtful, drawn as outlined markers above the
    // records with a legend entry of their own; none draws neither.
    void SetFindingMarks(std::vector<QPointF> marks);
    // Shared as they are: every mark's coordinates must be finite.
    void SetFindingMarks(PointTable marks) { m_pFindingMarks = std::move(marks); }
    const std::vector<QPointF>& FindingMarks() const { return Points(m_pFindingMarks); }
    const PointTable& SharedFindingMarks() const { return m_pFindingMarks; }
    QString FindingLegendText() const;
    // One point singled out above everything else; nothing draws none.
    void SetMarkedPoint(std::optional<QPointF> point) { m_MarkedPoint = point; }
    std::optional<QPointF> MarkedPoint() const { return m_MarkedPoint; }

    // How strongly shots and receivers are drawn, from 0 to 1 (the default):
    // below 1 they lie faintly beneath what is drawn over them.
    void SetMarkerOpacity(double opacity) { m_dMarkerOpacity = opacity; }
    // Drawn within the frame beneath the markers, in this map's view, with the
    // rect Paint was given: a layer such as the fold's bins. Called on the
    // painting thread; none draws nothing.
    using Underlay = std::function<void(QPainter&, const VeSurveyMap&, const QRectF&)>;
    void SetUnderlay(Underlay underlay) { m_Underlay = std::move(underlay); }

    // While set, and true, Paint ends soon, leaving its picture unfinished:
    // another thread may set it when the picture is of no use any more.
    void SetStop(const std::atomic<bool>* stop) { m_pStop = stop; }

    // Draws the whole map into the rect of the painter's device.
    void Paint(QPainter& painter, const QRectF& rect) const;
    // The same in two layers, one over the other: beneath, what takes long
    // (the frame, the underlay and the points); above, what changes without
    // the view (finding marks, the marked point, the title), with the axes,
    // the scale bar and the legend. A picture of the layer beneath serves
    // every change above it.
    void PaintBeneath(QPainter& painter, const QRectF& rect) const;
    void PaintAbove(QPainter& painter, const QRectF& rect) const;

    // The part of the rect the records are fitted into (legend and scale bar aside).
    QRectF PlotRect(const QRectF& rect) const;
    // Pixels per world unit, the same on both axes.
    double Scale(const QRectF& rect) const;
    QPointF WorldToPixel(double x, double y, const QRectF& rect) const;
    QPointF PixelToWorld(const QPointF& pixel, const QRectF& rect) const;

    // Zooms by the factor keeping the world point under the pixel in place.
    void ZoomAt(const QPointF& pixel, double factor, const QRectF& rect);
    void PanBy(const QPointF& pixelDelta) { m_Pan += pixelDelta; }
    void ResetView();
    // Pans so that the world point is drawn at the plot area's centre.
    void CentreOn(double x, double y, const QRectF& rect);
    double Zoom() const { return m_dZoom; }
    QPointF Pan() const { return m_Pan; }

    static QColor ShotColor() { return QColor(0xd7, 0x30, 0x27); }
    static QColor ReceiverColor() { return QColor(0x1f, 0x5f, 0xb4); }
    static QColor BackgroundColor() { return QColor(Qt::white); }
    static QColor FindingColor() { return QColor(0xf0, 0x8c, 0x00); }
    static QColor MarkedPointColor() { return QColor(0x10, 0x10, 0x10); }

private:
    static const std::vector<QPointF>& Points(const PointTable& table);
    bool Stopped() const { return m_pStop && m_pStop->load(std::memory_order_relaxed); }
    void PaintMarkers(QPainter& painter, const QRectF& rect) const;
    void PaintFindings(QPainter& painter, const QRectF& rect) const;
    void PaintLegend(QPainter& painter, const QRectF& rect) const;
    void PaintScaleBar(QPainter& painter, const QRectF& rect) const;
    void PaintAxes(QPainter& painter, const QRectF& rect) const;
    void PaintNorthArrow(QPainter& painter, const QRectF& rect) const;
    struct Tick
    {
        double pixel; // along the axis
        QString text;
    };
    // The numbered ticks of one axis (eastings along the bottom, or northings
    // along the left edge) that fit its edge without overlapping.
    std::vector<Tick> Ticks(bool eastings, const QRectF& rect) const;
    double ScaleBarLength(const QRectF& rect) const;

    VeSRRecordSnapshot m_ShotRecords;
    VeSRRecordSnapshot m_ReceiverRecords;
    bool m_bPlaced = false;
    PointTable m_pFindingMarks;
    std::optional<QPointF> m_MarkedPoint;
    int m_nShotCount = 0;
    int m_nReceiverCount = 0;
    QRectF m_Bounds;
    QString m_strTitle;
    QString m_strEmptyText;
    QString m_strUnit = QStringLiteral("m");
    double m_dShotSpacing = 0.0;
    double m_dReceiverSpacing = 0.0;
    double m_dMarkerOpacity = 1.0;
    Underlay m_Underlay;
    const std::atomic<bool>* m_pStop = nullptr;
    double m_dZoom = 1.0;
    QPointF m_Pan;
};
