#pragma once

#include <QDataStream>

// The host's serialisation stream: a QDataStream that knows which way it runs.
class OrkaArchive
{
public:
    explicit OrkaArchive(QIODevice* device, bool storing) : m_Stream(device), m_bStoring(storing) {}

    bool IsStoring() const { return m_bStoring; }
    QDataStream& Stream() { return m_Stream; }

private:
    QDataStream m_Stream;
    bool m_bStoring;
};
