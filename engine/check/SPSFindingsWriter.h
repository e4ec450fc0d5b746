#pragma once

#include "SPSEngineExport.h"

#include "SPSCheckFinding.h"

#include <QByteArray>

#include <vector>

// The survey check's findings as the programs write them, in UTF-8.
namespace SPSFindingsWriter {

// "check: KIND: N" for each kind found, in the order KindName lists them, each
// followed by the first five of its findings,
// "  FILE[:ROW]: [line L point P[ index I]: ]MESSAGE".
SPS_ENGINE_EXPORT QByteArray CheckLines(const std::vector<SPSCheckFinding>& findings);

// The report: the header "file,row,kind,line,point,index,message", then one
// row per finding in the findings' order; fields holding a comma, a quote or
// a line break are quoted.
SPS_ENGINE_EXPORT QByteArray ReportCsv(const std::vector<SPSCheckFinding>& findings);

} // namespace SPSFindingsWriter
