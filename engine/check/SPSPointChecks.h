#pragma once

#include "SPSEngineExport.h"

#include "SPSCheckTables.h"

// The checks of one S or R file's points, each adding its findings to those of
// the file.
namespace SPSPointChecks {

// The same line, point and index again: Duplicate with the same coordinates as
// its first row, Conflict with others. Then Outlier: a point at (0, 0), or one
// far from both its neighbours along its line.
SPS_ENGINE_EXPORT void Places(const SPSCheckPointTable& table, SPSCheckFindings& findings);
// Precision: per coordinate, how far the host's single precision moves the
// file's values, with the point moved most.
SPS_ENGINE_EXPORT void Precision(const SPSCheckPointTable& table, SPSCheckFindings& findings);
// SharedNumber: a number that points of several lines share, each such number
// up to limit, then one finding that gives their total.
SPS_ENGINE_EXPORT void SharedNumbers(const SPSCheckPointTable& table, int limit,
                                     SPSCheckFindings& findings);
// The three above.
SPS_ENGINE_EXPORT void All(const SPSCheckPointTable& table, int sharedNumberLimit,
                           SPSCheckFindings& findings);

} // namespace SPSPointChecks
