#pragma once

#include <QString>

// One point as read from one row of a source (S) or receiver (R) file.
// Texts are trimmed; numbers are 0 where the row holds none.
struct SPSPointRecord
{
    QString m_strLineName;
    QString m_strPointText;
    float m_fDepth = 0.0f; // receivers have no depth: always 0
    double m_dX = 0.0;
    double m_dY = 0.0;
    double m_dElevation = 0.0;
};
