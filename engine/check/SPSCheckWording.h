#pragma once

#include <QCoreApplication>
#include <QString>

// The check's texts are translated in one context wherever they are written;
// lupdate finds them where QCoreApplication::translate or QT_TRANSLATE_NOOP
// name it.
inline QString SPSCheckTranslated(const char* text)
{
    return QCoreApplication::translate("SPSSurveyCheck", text);
}

// A distance, a station or a channel in a message: two decimals at most,
// trailing zeros dropped.
inline QString SPSCheckNumberText(double v)
{
    QString text = QString::number(v, 'f', 2);
    if (text.contains(u'.')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    return text;
}
