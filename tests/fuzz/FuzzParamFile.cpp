// Fuzz target for the parameter file: the bytes are the file. Reading must end
// in a defined status; an accepted file gathers into a record or names the one
// key it refuses, and what is written back reads back to the same file.
#include "SPSFormatValues.h"
#include "SPSLayout.h"
#include "SPSParamFile.h"
#include "VeTaskSPSFilesLoaderParam.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {
// Removed at exit; an input that aborts leaves it behind for a look.
std::unique_ptr<QTemporaryDir> g_Dir;

void Require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz_paramfile: broken: %s\n", what);
        std::abort();
    }
}

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    Require(file.open(QIODevice::ReadOnly), "a written file opens");
    return file.readAll();
}

bool SameRecord(const VeTaskSPSFilesLoaderParam& a, const VeTaskSPSFilesLoaderParam& b)
{
    for (const SPSLayout::Field& f : SPSLayout::Fields())
        if (SPSLayout::Value(a, f) != SPSLayout::Value(b, f))
            return false;
    return true;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static int argc = 1;
    static char name[] = "fuzz_paramfile";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    // Writing syncs the file to disk; a memory file system keeps that cheap.
    const QString shm = QStringLiteral("/dev/shm");
    g_Dir = QFileInfo(shm).isWritable()
                ? std::make_unique<QTemporaryDir>(shm + QStringLiteral("/fuzz_paramfile-XXXXXX"))
                : std::make_unique<QTemporaryDir>();
    Require(g_Dir->isValid(), "a temporary folder");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString input = g_Dir->filePath(QStringLiteral("input.txt"));
    {
        QFile file(input);
        Require(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "the input is written");
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }

    SPSFormatValues values;
    const SPSFormatValues before = values;
    const SPSParamFile::Status status = SPSParamFile::Read(input, &values);
    Require(status == SPSParamFile::Ok || status == SPSParamFile::InvalidVersion,
            "an existing file opens");
    if (status != SPSParamFile::Ok) {
        Require(values == before, "a refused file changes nothing");
        return 0;
    }

    // Gathering either fills the record or names the first refused key and
    // leaves the record alone.
    VeTaskSPSFilesLoaderParam param;
    VeTaskSPSFilesLoaderParam untouched;
    QString failedKey = QStringLiteral("unset");
    const bool gathered = values.Gather(&param, &failedKey);
    Require(gathered == failedKey.isEmpty(), "a failed gathering names its key");
    Require(failedKey == values.FirstFailingKey(), "the key named is the first refused");
    if (!gathered) {
        Require(SPSFormatValues::Keys().contains(failedKey), "the refused key is a key");
        Require(SameRecord(param, untouched), "a refused gathering writes nothing");
    } else {
        // Every column the readers use starts inside a row and has a length.
        for (const SPSLayout::Field& f : SPSLayout::Fields()) {
            if (f.file == SPSLayout::File::Relation)
                continue;
            if (f.kind == SPSLayout::Kind::Position || f.kind == SPSLayout::Kind::Length)
                Require(param.*f.value >= (f.kind == SPSLayout::Kind::Position ? 0 : 1),
                        "gathered columns are in range");
        }
    }

    // Writing normalises the values to integers once; after that a file reads
    // back to itself byte for byte.
    const QString first = g_Dir->filePath(QStringLiteral("first.txt"));
    const QString second = g_Dir->filePath(QStringLiteral("second.txt"));
    Require(SPSParamFile::Write(first, values), "the values are written");
    SPSFormatValues reread;
    Require(SPSParamFile::Read(first, &reread) == SPSParamFile::Ok, "a written file reads");
    Require(SPSParamFile::Write(second, reread), "the values are written again");
    Require(ReadBytes(first) == ReadBytes(second), "a written file reads back to itself");
    return 0;
}
