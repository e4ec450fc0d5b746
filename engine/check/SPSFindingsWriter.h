#pragma once

#include "SPSEngineExport.h"

#include "SPSCheckFinding.h"

#include <QByteArray>

#include <functional>
#include <vector>

// The survey check's findings as the programs write them, in UTF-8.
namespace SPSFindingsWriter {

// "check: KIND: N" for each kind found, in the order KindName lists them, each
// followed by the first five of its findings,
// "  FILE[:ROW]: [line L point P[ index I]: ]MESSAGE". Then, for each kind,
// "check: KIND: N (SEVERITY) in G groups" and the first five groups, each a
// run of findings of one file, kind and line whose points step evenly
// ("  FILE: line L: points A-B step S: WHAT"), "  and N more groups", and
// last the totals by severity of each file and in all.
SPS_ENGINE_EXPORT QByteArray CheckLines(const SPSCheckFindingList& findings);

// One run of findings as CheckLines groups them.
struct Group
{
    size_t first = 0; // in the list
    size_t count = 0;
    double step = 0; // between the points' values
};
// The groups of the list, in its order, one at a time or all at once.
SPS_ENGINE_EXPORT void ForEachGroup(const SPSCheckFindingList& findings,
                                    const std::function<void(const Group&)>& take);
SPS_ENGINE_EXPORT std::vector<Group> Groups(const SPSCheckFindingList& findings);
// "FILE: line L: points A-B step S: WHAT", or for one finding the line
// CheckLines gives it.
SPS_ENGINE_EXPORT QString GroupText(const SPSCheckFindingList& findings, const Group& group);

// The report: the header "file,row,kind,line,point,index,message,x,y", then
// one row per finding in the findings' order; x and y are the point's
// coordinates in fixed notation, empty when the finding has none. Fields
// holding a comma, a quote or a line break are quoted.
SPS_ENGINE_EXPORT QByteArray ReportCsv(const SPSCheckFindingList& findings);
// The same bytes, handed to put a part at a time so that they need not all be
// held; false as soon as put is.
SPS_ENGINE_EXPORT bool ReportCsv(const SPSCheckFindingList& findings,
                                 const std::function<bool(const QByteArray&)>& put);

} // namespace SPSFindingsWriter
