#include "SPSGzip.h"

#include <QFile>

#include <climits>
#include <zlib.h>

namespace {
// Compressed bytes read from the device at a time.
constexpr qsizetype kInputBytes = 256 * 1024;
// 15-bit window, gzip wrapper only.
constexpr int kGzipWindowBits = 16 + MAX_WBITS;
} // namespace

bool SPSIsGzip(const QByteArray& head)
{
    return head.size() >= 2 && uchar(head.at(0)) == 0x1F && uchar(head.at(1)) == 0x8B;
}

struct SPSGzipReader::Stream
{
    z_stream z{};
    bool initialised = false;
};

SPSGzipReader::SPSGzipReader(QIODevice* compressed, bool textMode)
    : m_pCompressed(compressed), m_pStream(std::make_unique<Stream>())
{
    m_Input.resize(kInputBytes);
    m_pStream->initialised = inflateInit2(&m_pStream->z, kGzipWindowBits) == Z_OK;
    if (!m_pStream->initialised)
        Fail(tr("Not enough memory to uncompress the file."));
    open(textMode ? QIODevice::ReadOnly | QIODevice::Text : QIODevice::ReadOnly);
}

SPSGzipReader::~SPSGzipReader()
{
    if (m_pStream->initialised)
        inflateEnd(&m_pStream->z);
}

bool SPSGzipReader::Fail(const QString& reason)
{
    m_bFailed = true;
    setErrorString(reason);
    return false;
}

qint64 SPSGzipReader::readData(char* data, qint64 maxSize)
{
    if (m_bFailed || m_bFailPending) {
        m_bFailed = true;
        return -1;
    }
    z_stream& z = m_pStream->z;
    z.next_out = reinterpret_cast<Bytef*>(data);
    z.avail_out = uInt(qMin<qint64>(maxSize, UINT_MAX));
    const uInt wanted = z.avail_out;
    const auto produced = [&] { return qint64(wanted - z.avail_out); };
    // Bytes before a fault are handed out first; the fault ends the next read.
    const auto fault = [&](const QString& reason) -> qint64 {
        setErrorString(reason);
        if (produced() == 0) {
            m_bFailed = true;
            return -1;
        }
        m_bFailPending = true;
        return produced();
    };
    while (z.avail_out > 0 && !m_bEnded) {
        if (z.avail_in == 0) {
            const qint64 got = m_pCompressed->read(m_Input.data(), m_Input.size());
            if (got < 0)
                return fault(
                    tr("The compressed file cannot be read: %1").arg(m_pCompressed->errorString()));
            if (got == 0) {
                if (m_bInMember)
                    return fault(tr("The compressed data is cut short."));
                m_bEnded = true;
                break;
            }
            z.next_in = reinterpret_cast<Bytef*>(m_Input.data());
            z.avail_in = uInt(got);
        }
        if (!m_bInMember) {
            // Another member follows the one that ended (or the first begins).
            if (inflateReset(&z) != Z_OK)
                return fault(tr("The compressed data is corrupt."));
            m_bInMember = true;
        }
        const int result = inflate(&z, Z_NO_FLUSH);
        if (result == Z_STREAM_END) {
            m_bInMember = false;
        } else if (result != Z_OK && result != Z_BUF_ERROR) {
            return fault(result == Z_MEM_ERROR
                             ? tr("Not enough memory to uncompress the file.")
                             : tr("The compressed data is corrupt (%1).")
                                   .arg(QString::fromLatin1(z.msg ? z.msg : "zlib")));
        }
    }
    return produced();
}

bool SPSGzipReader::Check(const QString& path, QString* errorText)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !SPSIsGzip(file.peek(2)))
        return true;
    SPSGzipReader reader(&file);
    QByteArray buffer(kInputBytes, Qt::Uninitialized);
    qint64 got = 0;
    while ((got = reader.read(buffer.data(), buffer.size())) > 0) {
    }
    if (got == 0)
        return true;
    if (errorText)
        *errorText = reader.errorString();
    return false;
}
