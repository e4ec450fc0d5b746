#include "VeSurveyMapImage.h"

#include "SPSFileAccess.h"
#include "VePrevStackSegyGeometry.h"
#include "VeSurveyMap.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPaintEngine>
#include <QPainter>

#include <algorithm>

namespace {
// Large enough for a poster, small enough that a typing slip cannot ask for gigabytes.
constexpr int kMaxSide = 20000;

// The texts' translation context, declared so that lupdate finds them there too.
struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(VeSurveyMapImage)
};

bool Fail(QString* errorText, const QString& text)
{
    if (errorText)
        *errorText = text;
    return false;
}

bool IsValidSize(const QSize& size)
{
    return size.width() >= 1 && size.height() >= 1 && size.width() <= kMaxSide &&
           size.height() <= kMaxSide;
}
} // namespace

bool IsValidSurveyMapSize(const QSize& size, QString* errorText)
{
    if (IsValidSize(size))
        return true;
    return Fail(errorText,
                Texts::tr("The map size %1x%2 is not valid: each side must be 1 to %3 pixels.")
                    .arg(size.width())
                    .arg(size.height())
                    .arg(kMaxSide));
}

void UseOffscreenPlatformWithoutDisplay()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

QSize DefaultSurveyMapSize()
{
    return QSize(1200, 900);
}

bool FillOpaqueRects(QPainter& painter, const QRect& clip, const QVector<QRect>& rects)
{
    QPaintEngine* engine = painter.paintEngine();
    QImage* image = engine && engine->type() == QPaintEngine::Raster
                        ? dynamic_cast<QImage*>(painter.device())
                        : nullptr;
    const QBrush& brush = painter.brush();
    // Opaque over anything, source-over is a plain copy of the colour.
    if (!image || !image->isDetached() ||
        (image->format() != QImage::Format_ARGB32_Premultiplied &&
         image->format() != QImage::Format_RGB32) ||
        brush.style() != Qt::SolidPattern || brush.color().alpha() != 255 ||
        painter.pen().style() != Qt::NoPen || painter.opacity() != 1.0 ||
        painter.compositionMode() != QPainter::CompositionMode_SourceOver ||
        !painter.deviceTransform().isIdentity() || !painter.hasClipping() ||
        painter.clipBoundingRect() != QRectF(clip))
        return false;
    const QRect bounds = clip & image->rect();
    const QRgb pixel = brush.color().rgba();
    uchar* const bits = image->bits();
    const qsizetype stride = image->bytesPerLine();
    for (const QRect& r : rects) {
        const QRect part = r.normalized() & bounds;
        if (part.isEmpty())
            continue;
        for (int y = part.top(); y <= part.bottom(); ++y)
            std::fill_n(reinterpret_cast<QRgb*>(bits + y * stride) + part.left(), part.width(),
                        pixel);
    }
    return true;
}

QImage RenderMapImage(const QSize& size, const std::function<void(QPainter&, const QRectF&)>& paint)
{
    if (!IsValidSize(size) || !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return QImage();
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    image.fill(VeSurveyMap::BackgroundColor());
    QPainter painter(&image);
    paint(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    return image;
}

QImage RenderSurveyMapImage(const VeSurveyMap& map, const QSize& size)
{
    return RenderMapImage(size, [&map](QPainter& p, const QRectF& r) { map.Paint(p, r); });
}

QByteArray SurveyMapFormatForFile(const QString& fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0)
        return QByteArray();
    const QByteArray suffix = name.mid(dot + 1).toLower().toLatin1();
    return QImageWriter::supportedImageFormats().contains(suffix) ? suffix : QByteArray();
}

QString SurveyMapFormatsText()
{
    QStringList formats;
    for (const QByteArray& format : QImageWriter::supportedImageFormats())
        formats << QString::fromLatin1(format);
    return formats.join(QLatin1String(", "));
}

bool EncodeMapImage(const QImage& image, const QByteArray& format, QByteArray* bytes,
                    QString* errorText,
                    const std::function<QString(const QString& reason)>& cannotWrite)
{
    QBuffer encoded;
    encoded.open(QIODevice::WriteOnly);
    QImageWriter writer(&encoded, format);
    if (!writer.write(image))
        return Fail(errorText,
                    cannotWrite ? cannotWrite(writer.errorString()) : writer.errorString());
    *bytes = encoded.data();
    return true;
}

namespace {
// A failed encoding is said as a failed write of `fileName` when one is given.
bool encodeMap(const VePrevStackSegyGeometry& geometry, const QSize& size, const QByteArray& format,
               QByteArray* bytes, QString* errorText, const QString& fileName)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return Fail(errorText, Texts::tr("Drawing a map needs a QGuiApplication."));
    if (!IsValidSurveyMapSize(size, errorText))
        return false;
    VeSurveyMap map;
    map.SetGeometry(&geometry);
    map.SetTitle(geometry.GetName());
    const QImage image = RenderSurveyMapImage(map, size);
    if (image.isNull())
        return Fail(errorText, Texts::tr("Not enough memory for a map of %1x%2 pixels.")
                                   .arg(size.width())
                                   .arg(size.height()));
    return EncodeMapImage(image, format, bytes, errorText, [&fileName](const QString& reason) {
        return fileName.isEmpty()
                   ? reason
                   : Texts::tr("Cannot write the map to \"%1\": %2").arg(fileName, reason);
    });
}
} // namespace

bool EncodeSurveyMap(const VePrevStackSegyGeometry& geometry, const QSize& size,
                     const QByteArray& format, QByteArray* bytes, QString* errorText)
{
    return encodeMap(geometry, size, format, bytes, errorText, QString());
}

bool SaveSurveyMapImage(const VePrevStackSegyGeometry& geometry, const QString& fileName,
                        const QSize& size, const QByteArray& format, QString* errorText)
{
    QByteArray bytes;
    if (!encodeMap(geometry, size, format, &bytes, errorText, fileName))
        return false;
    QString reason;
    if (!SPSOutputFile::Write(fileName, bytes, &reason))
        return Fail(errorText,
                    Texts::tr("Cannot write the map to \"%1\": %2").arg(fileName, reason));
    return true;
}
