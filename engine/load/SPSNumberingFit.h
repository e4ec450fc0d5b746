#pragma once

#include "SPSEngineExport.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <limits>

// Whether a factor keeps numbers within signed 32 bits, and the largest one
// that would. Each number taken is multiplier x factor + addend, worked out in
// 64 bits (line x line factor + point, or number x shot factor + 0); the first
// that leaves the range is kept so that a warning can name it.
class SPS_ENGINE_EXPORT SPSNumberingFit
{
public:
    explicit SPSNumberingFit(qint32 factor) : m_nFactor(factor) {}

    // True for the first number taken that leaves the range.
    bool Take(qint32 multiplier, qint32 addend)
    {
        constexpr qint64 kMax = std::numeric_limits<qint32>::max();
        constexpr qint64 kMin = std::numeric_limits<qint32>::min();
        // With the factor's sign folded into the multiplier, only its
        // magnitude m is bounded: multiplier' x m + addend must stay in range.
        const qint64 m = m_nFactor < 0 ? -qint64(multiplier) : qint64(multiplier);
        if (m > 0)
            m_nBound = qMin(m_nBound, (kMax - addend) / m);
        else if (m < 0)
            m_nBound = qMin(m_nBound, (qint64(addend) - kMin) / -m);
        const qint64 value = qint64(multiplier) * m_nFactor + addend;
        if (!m_bFits || (value >= kMin && value <= kMax))
            return false;
        m_bFits = false;
        m_nFirstValue = value;
        return true;
    }

    bool Fits() const { return m_bFits; }
    qint32 Factor() const { return m_nFactor; }
    // The exact value of the first number that left the range.
    qint64 FirstValue() const { return m_nFirstValue; }
    // The factor of the same sign and largest magnitude that keeps every
    // number taken in range; 0 when no factor but 0 does.
    qint64 Largest() const
    {
        const qint64 limit = m_nFactor < 0 ? -qint64(std::numeric_limits<qint32>::min())
                                           : qint64(std::numeric_limits<qint32>::max());
        const qint64 magnitude = qMin(m_nBound, limit);
        return m_nFactor < 0 ? -magnitude : magnitude;
    }

private:
    qint32 m_nFactor;
    qint64 m_nBound = std::numeric_limits<qint64>::max();
    bool m_bFits = true;
    qint64 m_nFirstValue = 0;
};

// Where the factors of one file's numbering took numbers out of 32 bits.
struct SPSNumberingRange
{
    SPSNumberingFit line;        // line number x line factor + point number
    SPSNumberingFit scaled;      // number x shot or receiver factor
    QString lineName, pointText; // the first point the line factor took out
    qint32 number = 0;           // the first number the other factor took out

    SPSNumberingRange(qint32 lineFactor, qint32 factor) : line(lineFactor), scaled(factor) {}

    void TakeScaled(qint32 n)
    {
        if (scaled.Take(n, 0))
            number = n;
    }
    bool Fits() const { return line.Fits() && scaled.Fits(); }
    // The warnings for the events log, one per factor that did not fit;
    // source: the shot factor's file, else the receiver factor's.
    QStringList Warnings(bool source, const QString& path) const;
};
