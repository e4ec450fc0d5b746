// Fuzz target for the outputs of a load: the bytes make a geometry (its name,
// then 13-byte records: kind, point number, X, Y, elevation as raw bits, so
// NaN, infinities and subnormals come up), whose CSV and map are written as
// spsload writes them. The CSV must read back to the very records; the map
// must be a PNG of the asked size; a write must replace the former file whole.
#include "SPSFileAccess.h"
#include "SPSLoadCommand.h"
#include "VePrevStackSegyGeometry.h"
#include "VeSurveyMapImage.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {
// Removed at exit; an input that aborts leaves it behind for a look.
std::unique_ptr<QTemporaryDir> g_Dir;

void Require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz_outputs: broken: %s\n", what);
        std::abort();
    }
}

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    Require(file.open(QIODevice::ReadOnly), "a written file opens");
    return file.readAll();
}

template <typename T> T Take(const uint8_t*& data, size_t& size)
{
    T value{};
    const size_t n = std::min(sizeof value, size);
    if (n > 0)
        std::memcpy(&value, data, n);
    data += n;
    size -= n;
    return value;
}

bool SameFloat(float written, const QByteArray& text)
{
    if (std::isnan(written))
        return text == "nan";
    const std::string s = text.toStdString();
    char* end = nullptr;
    const float read = std::strtof(s.c_str(), &end);
    return end == s.c_str() + s.size() && std::memcmp(&read, &written, sizeof read) == 0;
}

void CheckCsv(const QByteArray& csv, const std::vector<std::pair<char, VePrevSegySRGeometry>>& rows)
{
    const QList<QByteArray> lines = csv.split('\n');
    Require(lines.size() == qsizetype(rows.size()) + 2, "one line per record and a header");
    Require(lines.front() == "kind,number,x,y,elevation", "the header");
    Require(lines.back().isEmpty(), "a final line break");
    for (size_t i = 0; i < rows.size(); ++i) {
        const QList<QByteArray> fields = lines[qsizetype(i) + 1].split(',');
        const auto& [kind, r] = rows[i];
        Require(fields.size() == 5, "five fields");
        Require(fields[0] == QByteArray(1, kind), "the kind");
        Require(fields[1] == QByteArray::number(r.m_nNumber), "the number");
        Require(SameFloat(r.m_fX, fields[2]), "X reads back");
        Require(SameFloat(r.m_fY, fields[3]), "Y reads back");
        Require(SameFloat(r.m_fElevation, fields[4]), "the elevation reads back");
    }
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static int argc = 1;
    static char name[] = "fuzz_outputs";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(argc, argv);
    // Writing syncs the file to disk; a memory file system keeps that cheap.
    const QString shm = QStringLiteral("/dev/shm");
    g_Dir = QFileInfo(shm).isWritable()
                ? std::make_unique<QTemporaryDir>(shm + QStringLiteral("/fuzz_outputs-XXXXXX"))
                : std::make_unique<QTemporaryDir>();
    Require(g_Dir->isValid(), "a temporary folder");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const uint8_t nameLength = Take<uint8_t>(data, size) % 32;
    const size_t n = std::min<size_t>(nameLength, size);
    const QString name = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(n));
    data += n;
    size -= n;
    // The map's size: small, so that drawing stays fast.
    const int width = 1 + Take<uint8_t>(data, size) % 160;
    const int height = 1 + Take<uint8_t>(data, size) % 120;

    VePrevStackSegyGeometry geometry;
    geometry.SetName(name);
    std::vector<std::pair<char, VePrevSegySRGeometry>> shots, receivers;
    while (size > 0) {
        auto* r = new VePrevSegySRGeometry;
        const bool shot = Take<uint8_t>(data, size) & 1;
        r->m_nNumber = Take<qint32>(data, size);
        r->m_fX = Take<float>(data, size);
        r->m_fY = Take<float>(data, size);
        r->m_fElevation = Take<float>(data, size);
        (shot ? shots : receivers).emplace_back(shot ? 'S' : 'R', *r);
        if (shot)
            geometry.AddShotGeometry(r);
        else
            geometry.AddReceiverGeometry(r);
    }
    std::vector<std::pair<char, VePrevSegySRGeometry>> rows = shots;
    rows.insert(rows.end(), receivers.begin(), receivers.end());

    const QString csvPath = g_Dir->filePath(QStringLiteral("out.csv"));
    QString reason;
    Require(SPSOutputFile::Write(csvPath, SPSLoadCommand::Csv(geometry), &reason),
            "the CSV is written");
    CheckCsv(ReadBytes(csvPath), rows);

    const QString mapPath = g_Dir->filePath(QStringLiteral("map.png"));
    Require(SaveSurveyMapPng(geometry, mapPath, QSize(width, height), &reason),
            "the map is written");
    QImage image;
    Require(image.load(mapPath, "PNG"), "the map reads back as a PNG");
    Require(image.size() == QSize(width, height), "the map has the asked size");
    return 0;
}
