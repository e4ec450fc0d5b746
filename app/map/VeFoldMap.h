#pragma once

#include "VeSurveyMap.h"

#include <QByteArray>
#include <QColor>
#include <QCoreApplication>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QString>

#include <vector>

class QPainter;
struct SPSFoldGrid;
class VePrevStackSegyGeometry;

// The fold map: a survey's bins coloured by their fold over its receiver and
// source lines drawn faintly, in the survey map's frame, axes and scale bar,
// with a colour bar of the fold at the right. Bins outside the survey's
// outline are left clear; empty bins inside it show in the colour of 0.
class VeFoldMap
{
    Q_DECLARE_TR_FUNCTIONS(VeFoldMap)
public:
    VeFoldMap();

    // Takes what the picture needs of the grid (its bins as colours, where
    // it lies); the grid may go afterwards.
    void SetFold(const SPSFoldGrid& grid);
    // The lines beneath, from a snapshot of the geometry's records.
    void SetGeometry(const VePrevStackSegyGeometry* geometry) { m_Map.SetGeometry(geometry); }
    void SetRecords(const std::vector<VePrevSegySRGeometry>& shots,
                    const std::vector<VePrevSegySRGeometry>& receivers)
    {
        m_Map.SetRecords(shots, receivers);
    }
    void SetTitle(const QString& title) { m_Map.SetTitle(title); }

    // The caption under the colour bar: the bin size in the map's unit
    // ("bin 12.5 x 25 m"); empty before a grid is set.
    QString BinText() const;
    // The highest fold, the top of the colour bar.
    quint32 MaxFold() const { return m_nMaxFold; }
    // The colour a bin of that fold is drawn in.
    QColor FoldColor(quint32 fold) const;
    // The fold values the colour bar numbers.
    std::vector<quint32> BarTicks() const;

    void Paint(QPainter& painter, const QRectF& rect) const;
    // The parts, for a picture of its own: the bins in the view of that map
    // drawn into mapRect (as VeSurveyMap::Paint is given it), and the colour
    // bar with its numbers right of the bar rect.
    void PaintBins(QPainter& painter, const VeSurveyMap& map, const QRectF& mapRect) const;
    void PaintBar(QPainter& painter, const QRectF& bar) const;
    // The part of the rect the map takes, left of the colour bar.
    QRectF MapRect(const QRectF& rect) const;
    QRectF BarRect(const QRectF& rect) const;
    // Where a survey point is drawn.
    QPointF WorldToPixel(double x, double y, const QRectF& rect) const
    {
        return m_Map.WorldToPixel(x, y, MapRect(rect));
    }

private:
    // The centre of the band of a fold value on the colour bar.
    double BarY(quint32 fold, const QRectF& bar) const;

    VeSurveyMap m_Map;
    // Pixel (column, row) is bin (column, row); clear outside the outline.
    QImage m_Bins;
    QPointF m_Corner;
    QPointF m_ColumnStep;
    QPointF m_RowStep;
    quint32 m_nMaxFold = 0;
    double m_dBinX = 0;
    double m_dBinY = 0;
};

// Draws the fold map into a new image of the given size; a null image when
// the size is not valid or the memory is not there. Needs a QGuiApplication.
QImage RenderFoldMapImage(const VeFoldMap& map, const QSize& size);

// The fold map of the grid over the geometry's lines, titled with its name,
// encoded in the image format given (as QImageWriter names formats). False
// with the reason in errorText (when given) otherwise.
bool EncodeFoldMap(const SPSFoldGrid& grid, const VePrevStackSegyGeometry& geometry,
                   const QSize& size, const QByteArray& format, QByteArray* bytes,
                   QString* errorText = nullptr);
// The same written into a file as every output is (SPSOutputFile).
bool SaveFoldMapImage(const SPSFoldGrid& grid, const VePrevStackSegyGeometry& geometry,
                      const QString& fileName, const QSize& size, const QByteArray& format,
                      QString* errorText = nullptr);
