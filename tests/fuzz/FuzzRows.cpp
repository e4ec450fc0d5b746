// Fuzz target for reading SPS point files: the bytes after a short header are
// the file; the header chooses the record letter, the skip mode and count, the
// column layout and the reading settings. Every row is read twice, by the fast
// block reader and by the general QTextStream path, and the two must agree on
// every row and every field. Then, when the header asks for it, the file goes
// through a whole load, as source and as receiver file, into a new or an
// existing geometry, with the numbering settings the header gives; the load is
// checked against the general reading, and repeated on the general path alone,
// which must give the very same records.
#include "FuzzReaderCompare.h"
#include "SPSNumbers.h"
#include "SPSRowReader.h"
#include "VeEventsLog.h"
#include "VeObjNode.h"
#include "VePrevStackSegyGeometry.h"
#include "VeTaskSPSFilesLoaderParam.h"
#include "VeThreadRegistry.h"
#include "VeThreadSPSFilesLoader.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <chrono>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

namespace {
// The threads the process runs now, as the system counts them.
int RunningThreads()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (QByteArray line; !(line = status.readLine()).isEmpty();)
        if (line.startsWith("Threads:"))
            return line.mid(8).trimmed().toInt();
    return -1;
}

// QThread::wait returns before the thread's own exit has freed its
// per-thread data (GLib's, thread_local destructors' records): libFuzzer's
// leak check after the input would take that for a leak. Waits (a second at
// most) until the system has seen the thread go.
void AwaitThreadExit(int before)
{
    QElapsedTimer timer;
    timer.start();
    while (before >= 0 && RunningThreads() > before && timer.elapsed() < 1000)
        std::this_thread::sleep_for(std::chrono::microseconds(100));
}

using namespace FuzzReader;
// Removed at exit; an input that aborts leaves it behind for a look.
std::unique_ptr<QTemporaryDir> g_Dir;

// The point numbers that a load must give for the file, from the general path.
std::set<qint32> ExpectedNumbers(const Input& in, QChar letter, qint32 factor)
{
    QByteArray bytes = in.file;
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    SPSReadOptions general;
    general.generalPath = true;
    SPSRowReader reader(&device, letter, in.autoSkip, in.skipCount, general);
    std::set<qint32> numbers;
    const auto& point = in.fields[1];
    while (reader.NextRecord()) {
        const qint32 n = PointNumberFromText(reader.FieldText(point.first, point.second));
        numbers.insert(factor == 0 || factor == 1 ? n
                                                  : qint32(quint32(quint64(qint64(n) * factor))));
    }
    return numbers;
}

// The records a load appended, checked for what every load promises: ascending
// numbers, and exactly the numbers the file's points give.
void CheckAdded(const std::vector<VePrevSegySRGeometry>& all, size_t from,
                const std::set<qint32>& expected, const char* what)
{
    if (all.size() - from != expected.size())
        Broken(what);
    auto it = expected.begin();
    for (size_t i = from; i < all.size(); ++i, ++it)
        if (all[i].m_nNumber != *it)
            Broken(what);
}

bool SameRecords(const std::vector<VePrevSegySRGeometry>& all,
                 const std::vector<VePrevSegySRGeometry>& before)
{
    if (all.size() < before.size())
        return false;
    for (size_t i = 0; i < before.size(); ++i)
        if (std::memcmp(&all[i], &before[i], sizeof before[i]) != 0)
            return false;
    return true;
}

void Load(const Input& in)
{
    const QString path = g_Dir->filePath(QStringLiteral("points.sps"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(in.file) != in.file.size())
            Broken("the input is written");
    }
    VeTaskSPSFilesLoaderParam param;
    param.SourceFileName = path;
    param.ReceiverFileName = path;
    param.AutoSkipS = param.AutoSkipR = in.autoSkip;
    param.SkipPosS = param.SkipPosR = in.skipCount;
    const auto& f = in.fields;
    std::tie(param.SrcLinePos, param.SrcLineLen) = f[0];
    std::tie(param.SrcIDPos, param.SrcIDLen) = f[1];
    std::tie(param.SrcWellPos, param.SrcWellLen) = f[2];
    std::tie(param.SrcCoordX, param.SrcCoordXLen) = f[3];
    std::tie(param.SrcCoordY, param.SrcCoordYLen) = f[4];
    std::tie(param.SrcElevPos, param.SrcElevLen) = f[5];
    std::tie(param.RecvLinePos, param.RecvLineLen) = f[0];
    std::tie(param.RecvIDPos, param.RecvIDLen) = f[1];
    std::tie(param.RecvCoordX, param.RecvCoordXLen) = f[3];
    std::tie(param.RecvCoordY, param.RecvCoordYLen) = f[4];
    std::tie(param.RecvElevPos, param.RecvElevLen) = f[5];

    // An existing target holds records of its own, which the load must keep.
    std::unique_ptr<VeObjNode> node;
    VePrevStackSegyGeometry* target = nullptr;
    if (in.existingTarget) {
        target = new VePrevStackSegyGeometry;
        for (int i = 0; i < 3; ++i) {
            auto* record = new VePrevSegySRGeometry;
            record->m_nNumber = 7 - i;
            record->m_fX = float(i);
            target->AddReceiverGeometry(new VePrevSegySRGeometry(*record));
            target->AddShotGeometry(record); // takes it over
        }
        node = std::make_unique<VeObjNode>(target);
    }
    const std::vector<VePrevSegySRGeometry> shotsBefore =
        target ? target->Shots() : std::vector<VePrevSegySRGeometry>();
    const std::vector<VePrevSegySRGeometry> receiversBefore =
        target ? target->Receivers() : std::vector<VePrevSegySRGeometry>();

    VeEventsLog::Instance()->Clear();
    std::vector<std::unique_ptr<VePrevStackSegyGeometry>> handed;
    QObject receiver;
    QObject::connect(VeThreadRegistry::Instance(), &VeThreadRegistry::sigObjectCreated, &receiver,
                     [&handed](VeObject* object) {
                         auto* geometry = qobject_cast<VePrevStackSegyGeometry*>(object);
                         if (!geometry)
                             Broken("a geometry is handed over");
                         handed.emplace_back(geometry);
                     });
    const auto run = [&](VeObjNode* target, bool general = false) {
        VeThreadSPSFilesLoader thread;
        SPSReadOptions options;
        options.generalPath = general;
        thread.SetReadOptions(options);
        thread.m_pParam = &param;
        thread.m_pTargetNode = target;
        thread.SetNumberingSettings(in.numbering);
        const int before = RunningThreads();
        thread.start();
        thread.wait();
        AwaitThreadExit(before);
        QCoreApplication::sendPostedEvents();
    };
    run(node.get());
    QCoreApplication::sendPostedEvents();

    // The file exists: whatever it holds, the load completes.
    for (const VeEventsLogEntry& e : VeEventsLog::Instance()->Entries())
        if (e.type == VeEventsLog::EventsLogError)
            Broken("a readable file fails the load");
    VePrevStackSegyGeometry* filled = target;
    if (target) {
        if (!handed.empty())
            Broken("an existing target is not handed over again");
    } else {
        if (handed.size() != 1)
            Broken("a new geometry is handed over once");
        filled = handed.front().get();
    }
    const std::vector<VePrevSegySRGeometry> shots = filled->Shots();
    const std::vector<VePrevSegySRGeometry> receivers = filled->Receivers();
    if (!SameRecords(shots, shotsBefore) || !SameRecords(receivers, receiversBefore))
        Broken("an existing target keeps its records");
    CheckAdded(shots, shotsBefore.size(), ExpectedNumbers(in, u'S', in.numbering.ShotNumberFactor),
               "the shots are the file's source points in ascending number");
    CheckAdded(receivers, receiversBefore.size(),
               ExpectedNumbers(in, u'R', in.numbering.ReceiverNumberFactor),
               "the receivers are the file's receiver points in ascending number");

    // The same load through the general path gives the very same records.
    const size_t fastLoads = handed.size();
    run(nullptr, true);
    if (handed.size() != fastLoads + 1)
        Broken("the general path hands a geometry over");
    const auto same = [](const std::vector<VePrevSegySRGeometry>& general,
                         const std::vector<VePrevSegySRGeometry>& fast, size_t from) {
        return general.size() == fast.size() - from &&
               (general.empty() || std::memcmp(general.data(), fast.data() + from,
                                               general.size() * sizeof general[0]) == 0);
    };
    if (!same(handed.back()->Shots(), shots, shotsBefore.size()) ||
        !same(handed.back()->Receivers(), receivers, receiversBefore.size()))
        Broken("the fast and the general path load the same records");
    VeEventsLog::Instance()->Clear();
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static int argc = 1;
    static char name[] = "fuzz_rows";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    const QString shm = QStringLiteral("/dev/shm");
    g_Dir = QFileInfo(shm).isWritable()
                ? std::make_unique<QTemporaryDir>(shm + QStringLiteral("/fuzz_rows-XXXXXX"))
                : std::make_unique<QTemporaryDir>();
    if (!g_Dir->isValid())
        Broken("a temporary folder");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const Input in = Decode(data, size);
    CompareReaders(in);
    if (in.load)
        Load(in);
    return 0;
}
