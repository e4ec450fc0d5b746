#pragma once

#include <QtGlobal>

// The engine is one shared library built with hidden visibility: what its
// headers mark with SPS_ENGINE_EXPORT is its interface, everything else stays
// inside. The library's own sources are compiled with SPSENGINE_LIBRARY.
#if defined(SPSENGINE_LIBRARY)
#define SPS_ENGINE_EXPORT Q_DECL_EXPORT
#else
#define SPS_ENGINE_EXPORT Q_DECL_IMPORT
#endif
