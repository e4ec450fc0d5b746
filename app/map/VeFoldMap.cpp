#include "VeFoldMap.h"

#include "SPSFileAccess.h"
#include "SPSFold.h"
#include "VePrevStackSegyGeometry.h"
#include "VeSurveyMapImage.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace {
// The strip right of the map that holds the colour bar and its numbers.
constexpr double kBarStrip = 96.0;
constexpr double kBarGap = 10.0;
constexpr double kBarWidth = 16.0;
constexpr double kTickLength = 4.0;
// The survey map draws its frame this far outside its plot area; bins are
// drawn up to it.
constexpr double kFrameGap = 6.0;
// Lines beneath the bins, and bins that let them show through.
constexpr double kLineOpacity = 0.3;
constexpr int kBinAlpha = 220;
// Colours of the fold from none to the most: a perceptually even ramp from
// dark violet through blue and green to yellow, so that holes stand out dark.
constexpr QRgb kRamp[] = {0x440154, 0x472d7b, 0x3b528b, 0x2c728e, 0x21918c,
                          0x28ae80, 0x5ec962, 0xaddc30, 0xfde725};
constexpr int kRampStops = int(sizeof kRamp / sizeof kRamp[0]);

const QColor kTextColor(0x30, 0x30, 0x30);
const QColor kFrameColor(0xc8, 0xc8, 0xc8);

QColor RampColor(double t)
{
    t = std::clamp(t, 0.0, 1.0) * (kRampStops - 1);
    const int i = std::min(kRampStops - 2, int(t));
    const double f = t - i;
    const QColor a(kRamp[i]), b(kRamp[i + 1]);
    return QColor(int(std::lround(a.red() + (b.red() - a.red()) * f)),
                  int(std::lround(a.green() + (b.green() - a.green()) * f)),
                  int(std::lround(a.blue() + (b.blue() - a.blue()) * f)));
}

// The smallest 1, 2 or 5 times a power of ten, a whole number, at least the value.
quint32 NiceStep(double value)
{
    double power = 1;
    while (power * 10 < value)
        power *= 10;
    for (double step : {1.0, 2.0, 5.0, 10.0})
        if (step * power >= value)
            return quint32(step * power);
    return quint32(10 * power);
}

struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(VeFoldMapImage)
};

bool Fail(QString* errorText, const QString& text)
{
    if (errorText)
        *errorText = text;
    return false;
}
} // namespace

VeFoldMap::VeFoldMap()
{
    m_Map.SetMarkerOpacity(kLineOpacity);
}

QColor VeFoldMap::FoldColor(quint32 fold) const
{
    return RampColor(m_nMaxFold > 0 ? double(fold) / m_nMaxFold : 0.0);
}

void VeFoldMap::SetFold(const SPSFoldGrid& grid)
{
    m_nMaxFold = 0;
    for (quint32 fold : grid.fold)
        m_nMaxFold = std::max(m_nMaxFold, fold);
    m_Corner = QPointF(grid.cornerX, grid.cornerY);
    m_ColumnStep = grid.ColumnStep();
    m_RowStep = grid.RowStep();
    m_dBinX = grid.binX;
    m_dBinY = grid.binY;
    m_Bins = QImage();
    if (grid.IsEmpty())
        return;
    QImage bins(grid.columns, grid.rows, QImage::Format_ARGB32_Premultiplied);
    if (bins.isNull())
        return; // no memory for them: the lines alone
    bins.fill(Qt::transparent);
    // The colours of up to 4096 fold values, the rest rounded to them.
    const quint32 levels = std::min<quint32>(m_nMaxFold, 4095) + 1;
    std::vector<QRgb> palette(levels);
    for (quint32 l = 0; l < levels; ++l) {
        const QColor c = RampColor(levels > 1 ? double(l) / (levels - 1) : 0.0);
        palette[l] = qPremultiply(qRgba(c.red(), c.green(), c.blue(), kBinAlpha));
    }
    for (int row = 0; row < grid.rows; ++row) {
        auto* line = reinterpret_cast<QRgb*>(bins.scanLine(row));
        for (int column = grid.inside[size_t(row)].first; column <= grid.inside[size_t(row)].last;
             ++column) {
            const quint32 fold = grid.fold[grid.Index(column, row)];
            line[column] =
                palette[m_nMaxFold < levels ? fold
                                            : quint32(quint64(fold) * (levels - 1) / m_nMaxFold)];
        }
    }
    m_Bins = bins;
}

QString VeFoldMap::BinText() const
{
    if (!(m_dBinX > 0) || !(m_dBinY > 0))
        return QString();
    return tr("bin %1 x %2 %3")
        .arg(QString::number(m_dBinX, 'g', 6), QString::number(m_dBinY, 'g', 6), m_Map.Unit());
}

QRectF VeFoldMap::MapRect(const QRectF& rect) const
{
    return rect.adjusted(0, 0, -std::min(kBarStrip, rect.width() / 2), 0);
}

QRectF VeFoldMap::BarRect(const QRectF& rect) const
{
    const QRectF plot = m_Map.PlotRect(MapRect(rect));
    return QRectF(MapRect(rect).right() + kBarGap, plot.top(), kBarWidth, plot.height());
}

double VeFoldMap::BarY(quint32 fold, const QRectF& bar) const
{
    return bar.bottom() - (fold + 0.5) / (double(m_nMaxFold) + 1) * bar.height();
}

std::vector<quint32> VeFoldMap::BarTicks() const
{
    // At most about eight numbers up the bar.
    const quint32 step = NiceStep((double(m_nMaxFold) + 1) / 8);
    std::vector<quint32> ticks;
    for (quint64 f = 0; f <= m_nMaxFold; f += step)
        ticks.push_back(quint32(f));
    return ticks;
}

void VeFoldMap::Paint(QPainter& painter, const QRectF& rect) const
{
    painter.save();
    painter.setClipRect(rect);
    painter.fillRect(rect, VeSurveyMap::BackgroundColor());
    m_Map.Paint(painter, MapRect(rect));
    if (m_Map.HasPoints())
        PaintBins(painter, m_Map, MapRect(rect));
    PaintBar(painter, BarRect(rect));
    painter.restore();
}

void VeFoldMap::PaintBins(QPainter& painter, const VeSurveyMap& map, const QRectF& mapRect) const
{
    if (m_Bins.isNull())
        return;
    const QPointF p0 = map.WorldToPixel(m_Corner.x(), m_Corner.y(), mapRect);
    const QPointF c = m_Corner + m_ColumnStep, r = m_Corner + m_RowStep;
    const QPointF dc = map.WorldToPixel(c.x(), c.y(), mapRect) - p0;
    const QPointF dr = map.WorldToPixel(r.x(), r.y(), mapRect) - p0;
    painter.save();
    painter.setClipRect(map.PlotRect(mapRect)
                            .adjusted(-kFrameGap, -kFrameGap, kFrameGap, kFrameGap)
                            .intersected(mapRect));
    // Pixel (column, row) of the image onto its bin; bins stay sharp.
    painter.setTransform(QTransform(dc.x(), dc.y(), dr.x(), dr.y(), p0.x(), p0.y()), true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QPointF(0, 0), m_Bins);
    painter.restore();
}

void VeFoldMap::PaintBar(QPainter& painter, const QRectF& bar) const
{
    if (!(bar.height() >= 1))
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    QFont font = painter.font();
    font.setPixelSize(12);
    painter.setFont(font);
    const QFontMetricsF fm(font);

    // One pixel row after another, each in the colour of the fold it stands for.
    const int top = int(std::ceil(bar.top())), bottom = int(std::floor(bar.bottom()));
    for (int y = top; y < bottom; ++y) {
        const double t = (bar.bottom() - (y + 0.5)) / bar.height();
        const quint32 fold = std::min(m_nMaxFold, quint32(t * (double(m_nMaxFold) + 1)));
        painter.fillRect(QRectF(bar.left(), y, bar.width(), 1), FoldColor(fold));
    }
    painter.setPen(QPen(kFrameColor, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(bar);

    painter.setPen(QPen(kTextColor, 1.0));
    painter.drawText(QPointF(bar.left(), bar.top() - 8.0), tr("Fold"));
    for (quint32 fold : BarTicks()) {
        const double y = BarY(fold, bar);
        painter.drawLine(QPointF(bar.right(), y), QPointF(bar.right() + kTickLength, y));
        painter.drawText(
            QPointF(bar.right() + kTickLength + 3.0, y + (fm.ascent() - fm.descent()) / 2.0),
            QString::number(fold));
    }
    // Under the bar, in two lines so that it fits the strip.
    const QString bin = BinText();
    if (!bin.isEmpty()) {
        const qsizetype space = bin.indexOf(u' ');
        const double y = bar.bottom() + fm.height() + 4.0;
        painter.drawText(QPointF(bar.left(), y), bin.left(space));
        painter.drawText(QPointF(bar.left(), y + fm.height()), bin.mid(space + 1));
    }
    painter.restore();
}

QImage RenderFoldMapImage(const VeFoldMap& map, const QSize& size)
{
    return RenderMapImage(size, [&map](QPainter& p, const QRectF& r) { map.Paint(p, r); });
}

namespace {
// A failed encoding is said as a failed write of `fileName` when one is given.
bool encodeFoldMap(const SPSFoldGrid& grid, const VePrevStackSegyGeometry& geometry,
                   const QSize& size, const QByteArray& format, QByteArray* bytes,
                   QString* errorText, const QString& fileName)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return Fail(errorText, Texts::tr("Drawing a fold map needs a QGuiApplication."));
    if (!IsValidSurveyMapSize(size, errorText))
        return false;
    VeFoldMap map;
    map.SetGeometry(&geometry);
    map.SetTitle(geometry.GetName());
    map.SetFold(grid);
    const QImage image = RenderFoldMapImage(map, size);
    if (image.isNull())
        return Fail(errorText, Texts::tr("Not enough memory for a fold map of %1x%2 pixels.")
                                   .arg(size.width())
                                   .arg(size.height()));
    return EncodeMapImage(image, format, bytes, errorText, [&fileName](const QString& reason) {
        return fileName.isEmpty()
                   ? reason
                   : Texts::tr("Cannot write the fold map to \"%1\": %2").arg(fileName, reason);
    });
}
} // namespace

bool EncodeFoldMap(const SPSFoldGrid& grid, const VePrevStackSegyGeometry& geometry,
                   const QSize& size, const QByteArray& format, QByteArray* bytes,
                   QString* errorText)
{
    return encodeFoldMap(grid, geometry, size, format, bytes, errorText, QString());
}

bool SaveFoldMapImage(const SPSFoldGrid& grid, const VePrevStackSegyGeometry& geometry,
                      const QString& fileName, const QSize& size, const QByteArray& format,
                      QString* errorText)
{
    QByteArray bytes;
    if (!encodeFoldMap(grid, geometry, size, format, &bytes, errorText, fileName))
        return false;
    QString reason;
    if (!SPSOutputFile::Write(fileName, bytes, &reason))
        return Fail(errorText,
                    Texts::tr("Cannot write the fold map to \"%1\": %2").arg(fileName, reason));
    return true;
}
