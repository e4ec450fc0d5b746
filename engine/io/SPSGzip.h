#pragma once

#include "SPSEngineExport.h"

#include <QByteArray>
#include <QIODevice>

#include <memory>

// Whether bytes that begin a file begin gzip data: its two magic bytes.
SPS_ENGINE_EXPORT bool SPSIsGzip(const QByteArray& head);

// The uncompressed bytes of the gzip data another device holds, one member or
// several in a row as `cat a.gz b.gz` makes them. Data that is corrupt, cut
// short or followed by anything but another member fails the read (read()
// gives -1) once the bytes before the fault were handed out; errorString()
// then says what was wrong.
class SPS_ENGINE_EXPORT SPSGzipReader : public QIODevice
{
    Q_OBJECT
public:
    // The device must be open for reading, positioned at the data, and
    // outlive the reader. Opens the reader for reading; `textMode` strips
    // carriage returns as QIODevice::Text does.
    explicit SPSGzipReader(QIODevice* compressed, bool textMode = false);
    ~SPSGzipReader() override;

    bool isSequential() const override { return true; }
    // The data was found corrupt, or the device under it failed.
    bool Failed() const { return m_bFailed; }

    // Reads the whole file (a plain file passes at once); false, with the
    // reason in errorText, when it is gzip data that cannot be read to its end.
    static bool Check(const QString& path, QString* errorText);

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    struct Stream;
    bool Fail(const QString& reason);

    QIODevice* m_pCompressed;
    std::unique_ptr<Stream> m_pStream;
    QByteArray m_Input;
    bool m_bInMember = false; // within a member: its end is still to come
    bool m_bEnded = false;
    bool m_bFailed = false;
    bool m_bFailPending = false; // fail at the next read, the bytes before the fault handed out
};
