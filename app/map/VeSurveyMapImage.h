#pragma once

#include <QImage>
#include <QPainter>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QVector>

#include <functional>

class VeSurveyMap;
class VePrevStackSegyGeometry;

// For a command-line program, before it builds its QGuiApplication: without a
// display and without a platform chosen, use the "offscreen" platform, so that
// drawing a map never needs a screen.
void UseOffscreenPlatformWithoutDisplay();

// The size a map image gets when the caller names none.
QSize DefaultSurveyMapSize();
// Whether a map image may have that size (each side 1 to 20000 pixels), and
// the reason when not, as the map's writers say it.
bool IsValidSurveyMapSize(const QSize& size, QString* errorText = nullptr);

// Draws the map into a new image of the given size; a null image when the size
// is not valid or the memory is not there. Needs a QGuiApplication (fonts); the
// "offscreen" platform is enough, no display is used.
QImage RenderSurveyMapImage(const VeSurveyMap& map, const QSize& size);
// An image of the size on the maps' background with paint(painter, rect) drawn
// over it; a null image for an invalid size or without a GUI application.
QImage RenderMapImage(const QSize& size,
                      const std::function<void(QPainter&, const QRectF&)>& paint);
// Fills the rects in the painter's brush straight into the raster image it
// paints on, with the very pixels QPainter::drawRects gives them: the squares
// of millions of points take a fraction of the time so. Only for an opaque
// solid brush, no pen, full opacity, source-over, no transform, and the
// painter clipped to clip (whole device pixels); false, nothing drawn, else.
bool FillOpaqueRects(QPainter& painter, const QRect& clip, const QVector<QRect>& rects);
// Encodes a map's picture in the format into bytes. A failure is said by
// cannotWrite from the writer's reason when it is given, else as the reason.
bool EncodeMapImage(const QImage& image, const QByteArray& format, QByteArray* bytes,
                    QString* errorText,
                    const std::function<QString(const QString& reason)>& cannotWrite = {});

// The image format a map file's suffix names ("jpg" for "map.JPG"), among
// those Qt's image writer can write; empty for any other suffix or none.
QByteArray SurveyMapFormatForFile(const QString& fileName);
// The formats Qt's image writer can write, as "bmp, jpg, png, ...".
QString SurveyMapFormatsText();

// Draws the geometry's map, titled with its name, and encodes it in the image
// format given (as QImageWriter names formats). False with the reason in
// errorText (when given) otherwise.
bool EncodeSurveyMap(const VePrevStackSegyGeometry& geometry, const QSize& size,
                     const QByteArray& format, QByteArray* bytes, QString* errorText = nullptr);

// The map encoded so, written into a file as every output is (SPSOutputFile).
// False with the reason in errorText (when given) otherwise.
bool SaveSurveyMapImage(const VePrevStackSegyGeometry& geometry, const QString& fileName,
                        const QSize& size, const QByteArray& format, QString* errorText = nullptr);
inline bool SaveSurveyMapPng(const VePrevStackSegyGeometry& geometry, const QString& fileName,
                             const QSize& size, QString* errorText = nullptr)
{
    return SaveSurveyMapImage(geometry, fileName, size, "png", errorText);
}
