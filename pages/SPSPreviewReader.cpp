#include "SPSPreviewReader.h"

SPSPreviewReader::SPSPreviewReader(QIODevice* device, qsizetype maxLength, qint64 budget)
    : m_Lines(device, [] {
          SPSReadOptions options;
          options.blockSize = kBlockBytes;
          return options;
      }())
{
    m_Lines.SetLineLimit(maxLength);
    m_Lines.SetReadBudget(budget);
}

void SPSPreviewReader::ReadLine(QString* line)
{
    if (!m_Lines.Next() || !line)
        return;
    const SPSText text = m_Lines.Line();
    const qsizetype before = line->size();
    *line += text.toString();
    // The bound fell inside a surrogate pair: drop its half.
    if (m_Lines.IsCut() && line->size() > before && line->back().isHighSurrogate())
        line->chop(1);
}
