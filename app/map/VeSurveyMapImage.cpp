#include "VeSurveyMapImage.h"

#include "SPSFileAccess.h"
#include "VePrevStackSegyGeometry.h"
#include "VeSurveyMap.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPainter>

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

QImage RenderSurveyMapImage(const VeSurveyMap& map, const QSize& size)
{
    if (!IsValidSize(size) || !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return QImage();
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    image.fill(VeSurveyMap::BackgroundColor());
    QPainter painter(&image);
    map.Paint(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    return image;
}

bool SaveSurveyMapPng(const VePrevStackSegyGeometry& geometry, const QString& fileName,
                      const QSize& size, QString* errorText)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return Fail(errorText, Texts::tr("Drawing a map needs a QGuiApplication."));
    if (!IsValidSize(size))
        return Fail(errorText,
                    Texts::tr("The map size %1x%2 is not valid: each side must be 1 to %3 "
                              "pixels.")
                        .arg(size.width())
                        .arg(size.height())
                        .arg(kMaxSide));
    VeSurveyMap map;
    map.SetGeometry(&geometry);
    map.SetTitle(geometry.GetName());
    const QImage image = RenderSurveyMapImage(map, size);
    if (image.isNull())
        return Fail(errorText, Texts::tr("Not enough memory for a map of %1x%2 pixels.")
                                   .arg(size.width())
                                   .arg(size.height()));

    QBuffer png;
    png.open(QIODevice::WriteOnly);
    QImageWriter writer(&png, "png");
    if (!writer.write(image))
        return Fail(
            errorText,
            Texts::tr("Cannot write the map to \"%1\": %2").arg(fileName, writer.errorString()));
    QString reason;
    if (!SPSOutputFile::Write(fileName, png.data(), &reason))
        return Fail(errorText,
                    Texts::tr("Cannot write the map to \"%1\": %2").arg(fileName, reason));
    return true;
}
