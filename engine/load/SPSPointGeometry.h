#pragma once

#include <QtGlobal>

// One numbered shot or receiver before it is handed to the geometry object.
struct SPSPointGeometry
{
    qint32 m_nNumber = 0;
    float m_fDepth = 0.0f;
    double m_dX = 0.0;
    double m_dY = 0.0;
    double m_dElevation = 0.0;
};
