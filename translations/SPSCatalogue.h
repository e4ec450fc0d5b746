#pragma once

#include <QLocale>
#include <QString>

// Installs the compiled catalogue "spsloader_<language>.qm" that suits the
// locale from the folder into the application, once per process whoever asks
// (the plug-in and its host may both). False when there is no application or
// no catalogue for the locale in the folder: the texts then stay untranslated.
bool InstallSPSCatalogue(const QString& folder, const QLocale& locale);
