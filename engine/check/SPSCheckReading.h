#pragma once

#include "SPSCheckTables.h"
#include "SPSNumberingSettings.h"

#include <QChar>

#include <atomic>
#include <functional>

class QFile;
class VeTaskSPSFilesLoaderParam;

// The survey check's reading: the rows of a file into its table, in the columns
// of the layout table, with the findings about single rows. Inside the check
// layer only.
namespace SPSCheckReading {

// Called every so many rows with how far into the file the reading is, in
// bytes; may be empty.
using Progress = std::function<void(qint64 position)>;

// The S or R rows (letter 'S' or 'R') into the table, numbered as the load
// numbers them. Findings: NotARecord, BlankPoint, NotANumber, ShortRow and
// NumberOverflow. False when stop was set.
bool ReadPoints(QFile& file, const VeTaskSPSFilesLoaderParam& param, QChar letter,
                const SPSNumberingSettings& numbering, SPSCheckPointTable& table,
                SPSCheckFindings& findings, const std::atomic<bool>& stop,
                const Progress& progress = {});

// The X rows into the table: those that name their points as numbers. Its
// lines start as the source table's, then the receiver table's, so that a line
// keeps the name its point file gives it. Findings: NotARecord, NotANumber and
// ShortRow. False when stop was set.
bool ReadRelations(QFile& file, const VeTaskSPSFilesLoaderParam& param,
                   const SPSCheckPointTable& sources, const SPSCheckPointTable& receivers,
                   SPSCheckRelationTable& table, SPSCheckFindings& findings,
                   const std::atomic<bool>& stop, const Progress& progress = {});

} // namespace SPSCheckReading
