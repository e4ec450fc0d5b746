// Fuzz target for the survey check: the first byte chooses the layout and
// whether one file is named for all three, the rest is split at form feeds
// into S, R and X text. A run must end, list findings file by file, give for
// one file named three times exactly what three copies of it give, and give
// for the rows a load shows it, with X read beside the load, what its own
// reading gives.
#include "SPSLayoutPresets.h"
#include "SPSLoadDriver.h"
#include "SPSSurveyCheck.h"
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
std::unique_ptr<QTemporaryDir> g_Dir;

void Require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz_surveycheck: broken: %s\n", what);
        std::abort();
    }
}

QString Write(const char* name, const QByteArray& bytes)
{
    const QString path = g_Dir->filePath(QString::fromLatin1(name));
    QFile file(path);
    Require(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                file.write(bytes) == bytes.size(),
            "a file written");
    return path;
}

// Each finding without its path, which differs between the two runs.
QStringList Described(const VeTaskSPSFilesLoaderParam& param, bool ofLoad = false)
{
    SPSSurveyCheck check(param);
    check.SetSharedNumberLimit(5);
    if (ofLoad) {
        check.ReadRelationsAhead();
        SPSLoadDriver::Run(param, check.SourceRows(), check.ReceiverRows());
    }
    QString error;
    Require(check.Run(&error), "a check of readable files runs to its end");
    QStringList out;
    const SPSCheckFindingList& list = check.Findings();
    for (const SPSCheckFinding& f : list) {
        const QString message = list.Message(f);
        const QChar letter = list.Letter(f);
        Require(f.row >= 0 && !message.isEmpty(), "a finding has a row and a message");
        Require(letter == u'S' || letter == u'R' || letter == u'X', "a finding's file");
        out << QStringLiteral("%1|%2|%3|%4|%5|%6|%7")
                   .arg(letter)
                   .arg(qint64(f.row))
                   .arg(SPSCheckFinding::KindName(f.kind), list.Line(f), list.Point(f),
                        list.Index(f), message);
    }
    return out;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static int argc = 1;
    static char name[] = "fuzz_surveycheck";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    g_Dir = std::make_unique<QTemporaryDir>();
    Require(g_Dir->isValid(), "a temporary folder");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const uint8_t flags = data[0];
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    VeTaskSPSFilesLoaderParam param;
    if (flags & 1)
        SPSLayoutPresets::Apply(SPSRevision::Revision21, &param);
    param.AutoSkipS = param.AutoSkipR = param.AutoSkipX = !(flags & 2);
    param.SkipPosS = param.SkipPosR = param.SkipPosX = (flags >> 4) & 3;
    if (flags & 4) {
        // One delivery holding every kind of row, named for all three files,
        // against three copies of it.
        VeTaskSPSFilesLoaderParam copies;
        copies.CopyFrom(param);
        copies.SourceFileName = Write("s", bytes);
        copies.ReceiverFileName = Write("r", bytes);
        copies.RelationFileName = Write("x", bytes);
        param.SourceFileName = param.ReceiverFileName = param.RelationFileName =
            copies.SourceFileName;
        Require(Described(param) == Described(copies),
                "one file named three times is checked as three copies");
        return 0;
    }
    const QList<QByteArray> parts = bytes.split('\f');
    param.SourceFileName = Write("s", parts.value(0));
    param.ReceiverFileName = Write("r", parts.value(1));
    param.RelationFileName = Write("x", parts.value(2));
    Require(Described(param) == Described(param, true),
            "the check of a load's rows is the check's own");
    return 0;
}
