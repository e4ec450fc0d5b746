#pragma once

#include <atomic>

#include "SPSEngineExport.h"

#include "SPSLineSource.h"
#include "SPSNumberingSettings.h"
#include "VeDataLoadThread.h"

#include <QCoreApplication>

class SPSNumberedTable;
class SPSPointTable;
class SPSRowObserver;
class VeObjNode;
class VeTaskSPSFilesLoaderParam;

// One load on a worker thread: reads the source and receiver files, numbers
// their points and adds one shot per source point number and one receiver per
// receiver point number to the target node's geometry object, or to a new
// object that it hands to the host when both files were read.
//
// Deliberately without a meta-object of its own: its messages are translated
// in the context of VeDataLoadThread, and the declaration below says so to
// lupdate as well, with the same lookup as the base's tr.
class SPS_ENGINE_EXPORT VeThreadSPSFilesLoader : public VeDataLoadThread
{
    Q_DECLARE_TR_FUNCTIONS(VeDataLoadThread)

public:
    explicit VeThreadSPSFilesLoader(QObject* parent = nullptr);
    ~VeThreadSPSFilesLoader() override;

    // Each reads its file into the table, sorted; false, with the reason in
    // the events log, when there is no parameter record or the file cannot be
    // read to its end.
    bool ReadSourceFile(SPSPointTable& points);
    bool ReadReceiverFile(SPSPointTable& points);

    // Number the points of a table by their point numbers, scaled as the
    // settings say; points sharing a number keep the one whose key sorts last.
    void NumberSourcePoints(SPSNumberedTable& shots, const SPSPointTable& points,
                            const SPSNumberingSettings& settings);
    void NumberReceiverPoints(SPSNumberedTable& receivers, const SPSPointTable& points,
                              const SPSNumberingSettings& settings);

    // Set before the thread starts; all 0 (nothing scaled) unless set.
    void SetNumberingSettings(const SPSNumberingSettings& settings)
    {
        m_NumberingSettings = settings;
    }
    const SPSNumberingSettings& NumberingSettings() const { return m_NumberingSettings; }
    // After the run: false when a factor took some number out of signed 32 bits
    // (the numbers wrapped, and the events log says which and what fits).
    bool NumbersFit() const { return m_bNumbersFit; }
    // How the files are read (tests and benchmarks); set before the thread starts.
    void SetReadOptions(const SPSReadOptions& options) { m_ReadOptions = options; }
    // Shown every record row of the source and of the receiver file as the run
    // reads it (each on the thread that reads that file); either may be null.
    // Not owned; set before the thread starts, kept until it has ended.
    void SetRowObservers(SPSRowObserver* sourceRows, SPSRowObserver* receiverRows)
    {
        m_pSourceRows = sourceRows;
        m_pReceiverRows = receiverRows;
    }

    // The share of the two point files' bytes read so far; reading is nearly
    // all of a run. A requested interruption cancels the reading.
    double GetProgress() const override;

    // Set by the starter before start(); neither is owned. A node that does not
    // hold a geometry object (or none) makes the run create a new object.
    VeObjNode* m_pTargetNode = nullptr;
    const VeTaskSPSFilesLoaderParam* m_pParam = nullptr;

protected:
    // Ends with sigLoadFinished whenever there is a parameter record.
    void run() override;

private:
    // The load itself; the ID of the geometry it filled, 0 when it made one
    // and failed (the one made is destroyed then).
    qint64 Load();

    SPSNumberingSettings m_NumberingSettings;
    SPSReadOptions m_ReadOptions;
    bool m_bNumbersFit = true;
    SPSRowObserver* m_pSourceRows = nullptr;
    SPSRowObserver* m_pReceiverRows = nullptr;
    // Bytes of the source and of the receiver file read, and both files' size.
    std::atomic<qint64> m_nBytesRead[2] = {0, 0};
    std::atomic<qint64> m_nBytesToRead{0};
};
