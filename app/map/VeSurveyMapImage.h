#pragma once

#include <QImage>
#include <QSize>
#include <QString>

class VeSurveyMap;
class VePrevStackSegyGeometry;

// For a command-line program, before it builds its QGuiApplication: without a
// display and without a platform chosen, use the "offscreen" platform, so that
// drawing a map never needs a screen.
void UseOffscreenPlatformWithoutDisplay();

// The size a map image gets when the caller names none.
QSize DefaultSurveyMapSize();

// Draws the map into a new image of the given size; a null image when the size
// is not valid or the memory is not there. Needs a QGuiApplication (fonts); the
// "offscreen" platform is enough, no display is used.
QImage RenderSurveyMapImage(const VeSurveyMap& map, const QSize& size);

// Draws the geometry's map, titled with its name, into a PNG file, written as
// every output is (SPSOutputFile). False with the reason in
// errorText (when given) otherwise.
bool SaveSurveyMapPng(const VePrevStackSegyGeometry& geometry, const QString& fileName,
                      const QSize& size, QString* errorText = nullptr);
