#pragma once

#include <QLatin1StringView>
#include <QString>
#include <QStringView>

// A text as a row holds it, without a copy: the Latin-1 bytes of a plain ASCII
// row, or UTF-16. Valid as long as what it views. Two words, so that it passes
// in registers.
class SPSText
{
public:
    SPSText() : m_nSize(0), m_nLatin1(0) {}
    SPSText(QLatin1StringView text)
        : m_pData(text.data()), m_nSize(quint64(text.size())), m_nLatin1(1)
    {
    }
    SPSText(QStringView text) : m_pData(text.data()), m_nSize(quint64(text.size())), m_nLatin1(0) {}
    SPSText(const QString& text) : SPSText(QStringView(text)) {}

    bool IsLatin1() const { return m_nLatin1 != 0; }
    QLatin1StringView Latin1() const
    {
        return QLatin1StringView(static_cast<const char*>(m_pData), qsizetype(m_nSize));
    }
    QStringView Utf16() const
    {
        return QStringView(static_cast<const QChar*>(m_pData), qsizetype(m_nSize));
    }

    qsizetype size() const { return qsizetype(m_nSize); }
    bool isEmpty() const { return m_nSize == 0; }
    QString toString() const { return IsLatin1() ? Latin1().toString() : Utf16().toString(); }

private:
    const void* m_pData = nullptr;
    quint64 m_nSize : 63;
    quint64 m_nLatin1 : 1;
};
