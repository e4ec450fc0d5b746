#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class SPSCheckFindingList;
struct SPSFoldGrid;
struct SPSFoldOptions;
struct SPSFoldResult;
struct SPSNumberingSettings;
class QCommandLineParser;
class QIODevice;
class VePrevStackSegyGeometry;
class VeTaskSPSFilesLoaderParam;

// The spsload command: loads a source and a receiver file into a new geometry
// object through the loader thread, as the host would, and reports it.
//   spsload [--params FILE | --revision 1|2.1|auto] [numbering options] [--csv FILE]
//           [--map FILE.png|.jpg|...] [--check] [--report FILE] [--quiet]
//           [--fold FILE.png|... ] [--fold-grid FILE.asc] [--bin DX,DY]
//           SOURCE RECEIVER [RELATION]
// The summary, the one output written to "-", help and version go to out; the
// load's events-log entries and the command's own errors go to err. Drawing the map
// or a fold map needs a QGuiApplication (WantsMap tells the program before it
// makes one).
class SPSLoadCommand
{
public:
    enum ExitStatus
    {
        ExitLoaded = 0, // the geometry was handed over (and written)
        // An input cannot be read, the load failed or added no shot or no
        // receiver, a factor took point numbers out of 32 bits, or an output
        // could not be written.
        ExitFailed = 1,
        ExitUsage = 2, // bad command line, or input refused before loading
    };

    SPSLoadCommand(QIODevice* out, QIODevice* err) : m_pOut(out), m_pErr(err) {}

    // arguments[0] is the program name, as QCoreApplication::arguments() gives it.
    int Run(const QStringList& arguments);

    // Fewest digits in fixed notation that read back to the same float; "nan",
    // "inf" and "-inf" for the values that have no digits.
    static QByteArray FormatFloat(float value);

    // The geometry as CSV: a header, then one "kind,number,x,y,elevation" row per
    // shot (S) and per receiver (R), in the geometry's order.
    static QByteArray Csv(const VePrevStackSegyGeometry& geometry);
    // The same, handed to put a part at a time; false when put refused one.
    static bool CsvParts(const VePrevStackSegyGeometry& geometry,
                         const std::function<bool(const QByteArray&)>& put);

    // Whether the command line asks for a map or a fold map, read as Run reads
    // it; false for a command line that Run refuses.
    static bool WantsMap(const QStringList& arguments);

private:
    // False, with the error written, when the path names a FIFO, a device or
    // anything else that is neither a regular file nor a folder (kind names it:
    // "source", "receiver" or "relation").
    bool RefuseIfNotRegular(const QString& kind, const QString& path);
    // Applies a parameter file as the Format page would; false, with the error
    // written and the exit status set, when the file cannot be read or a value
    // is refused.
    bool ApplyParamFile(const QString& path, VeTaskSPSFilesLoaderParam* param, int* status);
    // The numbering options; false, with the error written, for a value that
    // is not a 32-bit integer.
    bool ReadNumbering(const QCommandLineParser& parser, SPSNumberingSettings* numbering);
    // --bin DX,DY; false, with the error written, for sizes that are not two
    // numbers above 0.
    bool ReadBin(const QString& text, SPSFoldOptions* options);
    // --revision: the preset, or per file the detected one (said as info).
    bool ApplyRevision(const QString& revision, VeTaskSPSFilesLoaderParam* param);
    // "check: KIND: N" per kind found, each followed by up to 5 of its findings.
    void WriteCheck(const SPSCheckFindingList& findings, QIODevice* to);
    bool WriteReport(const SPSCheckFindingList& findings, const QString& path);
    void WriteSummary(const VePrevStackSegyGeometry& geometry);
    void WriteFoldSummary(const SPSFoldResult& fold);
    bool WriteCsv(const VePrevStackSegyGeometry& geometry, const QString& path);
    // Standard output for "-", else through the output writer; what names it in errors.
    bool WriteOutput(const QByteArray& bytes, const QString& path, const QString& what);
    // The same, of bytes handed to put a part at a time as they are made.
    bool WriteParts(const std::function<bool(const std::function<bool(const QByteArray&)>&)>& parts,
                    const QString& path, const QString& what);
    bool WriteMap(const VePrevStackSegyGeometry& geometry, const QString& path,
                  const QByteArray& format);
    bool WriteFoldMap(const SPSFoldGrid& grid, const VePrevStackSegyGeometry& geometry,
                      const QString& path, const QByteArray& format);
    void Error(const QString& text);
    // An input that cannot be opened, in the load's own words.
    void CannotOpen(const QString& path);
    // After a failed load: what is wrong with the gzip data of an input, if anything.
    void ExplainCorruptGzip(const QStringList& paths);
    // A load without shots or without receivers, and whether the files look swapped.
    void RefuseEmpty(const VePrevStackSegyGeometry& geometry,
                     const VeTaskSPSFilesLoaderParam& param);

    QIODevice* m_pOut;
    QIODevice* m_pErr;
};
