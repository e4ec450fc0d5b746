#pragma once

#include <QtGlobal>

// One shot or one receiver of a pre-stack geometry.
class VePrevSegySRGeometry
{
public:
    qint32 m_nNumber = 0;
    float m_fX = 0.0f;
    float m_fY = 0.0f;
    float m_fElevation = 0.0f;
};
