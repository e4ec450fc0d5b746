#pragma once

#include "SPSEngineExport.h"

#include "SPSCheckTables.h"

#include <atomic>
#include <functional>

// The checks of a relation file's X rows, against the points of the S and R
// files and among themselves. Lines match across the tables by their names, as
// SPSCheckLines matches them.
namespace SPSRelationChecks {

// The points the rows name: RelationSourceMissing for a source point the S
// file lacks and RelationReceiverMissing for stations of a receiver range the
// R file lacks, among the relation file's findings; SourceNotRelated and
// ReceiverNotRelated for the points no row names, among those of the S and R
// files. False, with the findings made so far, when stop was set meanwhile.
// rowsDone, when given, is called once every row is seen, before the points
// no row names are listed: the rows are not read from then on. rowsGo: the
// caller drops the rows then (in rowsDone), and their memory may go before,
// as the last findings about them are made; they read as zeros meanwhile.
SPS_ENGINE_EXPORT bool Points(const SPSCheckRelationTable& relations,
                              const SPSCheckPointTable& sources,
                              const SPSCheckPointTable& receivers,
                              SPSCheckFindings& relationFindings, SPSCheckFindings& sourceFindings,
                              SPSCheckFindings& receiverFindings,
                              const std::atomic<bool>* stop = nullptr,
                              const std::function<void()>& rowsDone = {}, bool rowsGo = false);

// The field records, each the shot of one tape, record number and source
// point: ChannelOverlap for two rows of one record whose channels overlap,
// RecordReused for a tape that gives one record number to two shots.
SPS_ENGINE_EXPORT void FieldRecords(const SPSCheckRelationTable& relations,
                                    SPSCheckFindings& findings);

} // namespace SPSRelationChecks
