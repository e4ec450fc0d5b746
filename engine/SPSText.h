#pragma once

#include <QLatin1StringView>
#include <QString>
#include <QStringView>

// A text as a row holds it, without a copy: the Latin-1 bytes of a plain ASCII
// row, or UTF-16. Valid as long as what it views.
class SPSText
{
public:
    SPSText() = default;
    SPSText(QLatin1StringView text) : m_Latin1(text), m_bLatin1(true) {}
    SPSText(QStringView text) : m_Utf16(text) {}
    SPSText(const QString& text) : m_Utf16(text) {}

    bool IsLatin1() const { return m_bLatin1; }
    QLatin1StringView Latin1() const { return m_Latin1; }
    QStringView Utf16() const { return m_Utf16; }

    qsizetype size() const { return m_bLatin1 ? m_Latin1.size() : m_Utf16.size(); }
    bool isEmpty() const { return size() == 0; }
    QString toString() const { return m_bLatin1 ? m_Latin1.toString() : m_Utf16.toString(); }

private:
    QLatin1StringView m_Latin1;
    QStringView m_Utf16;
    bool m_bLatin1 = false;
};
