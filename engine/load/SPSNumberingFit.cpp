#include "SPSNumberingFit.h"

#include <QCoreApplication>

// Written by the loader thread, so in its translation context.
QStringList SPSNumberingRange::Warnings(bool source, const QString& path) const
{
    QStringList warnings;
    if (!line.Fits())
        warnings << QCoreApplication::translate(
                        "VeDataLoadThread",
                        "Line factor %1 takes line %2 point %3 of [%4] to %5, beyond the signed "
                        "32-bit point numbers, and the numbers wrap; the largest line factor that "
                        "fits every row is %6.")
                        .arg(line.Factor())
                        .arg(lineName, pointText, path)
                        .arg(line.FirstValue())
                        .arg(line.Largest());
    if (!scaled.Fits())
        warnings << (source ? QCoreApplication::translate(
                                  "VeDataLoadThread",
                                  "Shot factor %1 takes point number %2 of [%3] to %4, beyond the "
                                  "signed 32-bit point numbers, and the numbers wrap; the largest "
                                  "shot factor that fits every point is %5.")
                            : QCoreApplication::translate(
                                  "VeDataLoadThread",
                                  "Receiver factor %1 takes point number %2 of [%3] to %4, beyond "
                                  "the signed 32-bit point numbers, and the numbers wrap; the "
                                  "largest receiver factor that fits every point is %5."))
                        .arg(scaled.Factor())
                        .arg(number)
                        .arg(path)
                        .arg(scaled.FirstValue())
                        .arg(scaled.Largest());
    return warnings;
}
