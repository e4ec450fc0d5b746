#pragma once

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

class QIODevice;

// Reads a text file line by line for a preview, in bounded memory whatever the
// file holds: the characters of a line beyond the caller's bound are passed over
// without being kept, so a binary file or one without line breaks costs reading
// time but never more than one chunk of memory. Lines end at "\n" and exclude it;
// the text is decoded as UTF-8 unless it starts with a byte order mark.
class SPSPreviewReader
{
public:
    // The device must be open for reading and outlive the reader.
    explicit SPSPreviewReader(QIODevice* device);
    SPSPreviewReader(const SPSPreviewReader&) = delete;
    SPSPreviewReader& operator=(const SPSPreviewReader&) = delete;

    // True when no character is left (reads ahead when needed).
    bool AtEnd();

    // Consumes the next line; appends at most maxLength of its first characters to
    // *line (nothing when line is null). A surrogate pair is never split.
    void ReadLine(QString* line, qsizetype maxLength);
    void SkipLine() { ReadLine(nullptr, 0); }

private:
    bool Fill();

    QIODevice* m_pDevice;
    QStringDecoder m_Decoder;
    QByteArray m_Raw;
    // Decoded characters of the current chunk; [m_nPos, m_nEnd) are not yet consumed.
    QString m_Text;
    qsizetype m_nPos = 0;
    qsizetype m_nEnd = 0;
    bool m_bFirstChunk = true;
    bool m_bEof = false;
};
