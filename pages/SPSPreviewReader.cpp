#include "SPSPreviewReader.h"

#include <QIODevice>

namespace {
// Bytes read and decoded at a time: the reader's whole memory, whatever the file.
constexpr qsizetype kChunkBytes = 64 * 1024;
} // namespace

SPSPreviewReader::SPSPreviewReader(QIODevice* device)
    : m_pDevice(device), m_Decoder(QStringConverter::Utf8), m_Raw(kChunkBytes, Qt::Uninitialized)
{
}

bool SPSPreviewReader::Fill()
{
    m_nPos = m_nEnd = 0;
    while (!m_bEof) {
        const qint64 got = m_pDevice->read(m_Raw.data(), kChunkBytes);
        if (got <= 0) {
            m_bEof = true;
            break;
        }
        const QByteArrayView bytes(m_Raw.constData(), got);
        if (m_bFirstChunk) {
            // Same rule as the row reader's text stream: a byte order mark decides.
            m_bFirstChunk = false;
            if (const auto encoding = QStringConverter::encodingForData(bytes))
                m_Decoder = QStringDecoder(*encoding);
        }
        const qsizetype need = m_Decoder.requiredSpace(kChunkBytes);
        if (m_Text.size() < need)
            m_Text.resize(need);
        // Decoding into the one buffer keeps the reader free of per-chunk allocations.
        QChar* const begin = m_Text.data();
        m_nEnd = m_Decoder.appendToBuffer(begin, bytes) - begin;
        if (m_nEnd > 0)
            return true;
    }
    return false;
}

bool SPSPreviewReader::AtEnd()
{
    return m_nPos == m_nEnd && !Fill();
}

void SPSPreviewReader::ReadLine(QString* line, qsizetype maxLength)
{
    bool keeping = line != nullptr;
    qsizetype kept = 0;
    for (;;) {
        if (m_nPos == m_nEnd && !Fill())
            return;
        const QStringView rest(m_Text.constData() + m_nPos, m_nEnd - m_nPos);
        const qsizetype lineEnd = rest.indexOf(u'\n');
        const qsizetype lineChars = lineEnd < 0 ? rest.size() : lineEnd;
        if (keeping) {
            const qsizetype take = qMin(lineChars, maxLength - kept);
            line->append(rest.first(take));
            kept += take;
            if (take < lineChars) {
                keeping = false;
                // The bound fell inside a surrogate pair (maybe across chunks): drop its half.
                if (kept > 0 && line->back().isHighSurrogate()) {
                    line->chop(1);
                    --kept;
                }
            }
        }
        if (lineEnd >= 0) {
            m_nPos += lineEnd + 1;
            return;
        }
        m_nPos = m_nEnd;
    }
}
