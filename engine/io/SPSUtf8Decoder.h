#pragma once

#include <QChar>
#include <QtGlobal>

// UTF-8 to UTF-16 as QStringDecoder turns a whole buffer: every byte that is
// not part of a valid sequence becomes U+FFFD. Unlike QStringDecoder, the
// result does not depend on where the input is cut into pieces (Qt's decoder
// reads a broken sequence cut in two differently, and may then swallow the
// byte after it, a line feed included). An unfinished sequence at the end of
// a piece is held until the next one.
class SPSUtf8Decoder
{
public:
    void Reset()
    {
        m_nNeed = 0;
        m_nHave = 0;
    }

    // Calls sink(char16_t) for each UTF-16 unit; when sink returns false the
    // decoding stops there and false is returned.
    template <typename Sink> bool Decode(const char* bytes, qsizetype size, Sink&& sink)
    {
        for (qsizetype i = 0; i < size; ++i) {
            const uchar b = uchar(bytes[i]);
            if (m_nNeed > 0) {
                if ((b & 0xC0) == 0x80) {
                    m_nCode = (m_nCode << 6) | (b & 0x3F);
                    ++m_nHave;
                    if (--m_nNeed == 0 && !Finish(sink))
                        return false;
                    continue;
                }
                // Broken off: the lead and each continuation byte become U+FFFD,
                // and this byte starts afresh.
                if (!Replace(m_nHave, sink))
                    return false;
                m_nNeed = 0;
                m_nHave = 0;
            }
            if (b < 0x80) {
                if (!sink(char16_t(b)))
                    return false;
            } else if (b <= 0xC1 || b >= 0xF5) {
                // A continuation byte alone, a lead that can only be overlong, or past U+10FFFF.
                if (!sink(char16_t(QChar::ReplacementCharacter)))
                    return false;
            } else {
                m_nNeed = b < 0xE0 ? 1 : b < 0xF0 ? 2 : 3;
                m_nMin = b < 0xE0 ? 0x80 : b < 0xF0 ? 0x800 : 0x10000;
                m_nCode = b & (b < 0xE0 ? 0x1F : b < 0xF0 ? 0x0F : 0x07);
                m_nHave = 1;
            }
        }
        return true;
    }

private:
    template <typename Sink> bool Replace(int count, Sink& sink)
    {
        for (int k = 0; k < count; ++k)
            if (!sink(char16_t(QChar::ReplacementCharacter)))
                return false;
        return true;
    }

    template <typename Sink> bool Finish(Sink& sink)
    {
        const int length = m_nHave;
        m_nHave = 0;
        if (m_nCode < m_nMin || QChar::isSurrogate(m_nCode) || m_nCode > QChar::LastValidCodePoint)
            return Replace(length, sink);
        if (QChar::requiresSurrogates(m_nCode))
            return sink(QChar::highSurrogate(m_nCode)) && sink(QChar::lowSurrogate(m_nCode));
        return sink(char16_t(m_nCode));
    }

    char32_t m_nCode = 0;
    char32_t m_nMin = 0;
    int m_nNeed = 0; // continuation bytes still to come
    int m_nHave = 0; // bytes of the sequence so far, lead included
};
