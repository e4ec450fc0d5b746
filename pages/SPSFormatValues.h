#pragma once

#include "SPSLayout.h"
#include "SPSLayoutPresets.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

class VeTaskSPSFilesLoaderParam;

// The values of the "Format" page as the user sees them: the edit texts, with
// column positions counted from 1 as SPS headers count them, and "1" / "0" for
// the three automatic header-skip switches. The page, the parameter file and
// spsload all keep their values here, so they check and gather them alike.
class SPSFormatValues
{
public:
    static constexpr int KeyCount = SPSLayout::FieldCount;

    // The page's default texts: the standard layout counted from 1, counts of 72,
    // automatic header skipping on.
    SPSFormatValues();

    // The parameter-file keys in file order; every key is also the name of the
    // record field it feeds.
    static const QStringList& Keys();
    static bool IsAutoSkipKey(const QString& key);
    // The 20 column positions, which count from 1 here and from 0 in the record.
    static bool IsPositionKey(const QString& key);

    // The edit text of a key, or "1" / "0" for an auto-skip key; empty for an
    // unknown key.
    QString Value(const QString& key) const;
    // An auto-skip key is switched on when the text's integer value is not 0.
    // Unknown keys are ignored.
    void SetValue(const QString& key, const QString& text);
    bool IsAutoSkipOn(const QString& key) const { return Value(key) == QLatin1String("1"); }

    // The key of the first value that the gathering refuses, in the order the page
    // checks its edits; empty when every value is acceptable. Positions and lengths
    // must be greater than 0, the S and R counts (when their auto-skip is off) not
    // negative, and every checked value must fit in 32 bits.
    QString FirstFailingKey() const;
    // Writes the values into the record's skip settings and column layout, one
    // subtracted from each position. On a refused value writes nothing, names the
    // key in failedKey and answers false.
    bool Gather(VeTaskSPSFilesLoaderParam* param, QString* failedKey) const;
    // The standard layout with automatic skipping; the three counts stay as they are.
    static void GatherStandard(VeTaskSPSFilesLoaderParam* param);
    // Puts a revision's layout into the column values (counted from 1) and
    // switches the three automatic header skips on; the row counts stay.
    // Unknown changes nothing.
    void ApplyRevision(SPSRevision revision);

    // A text as a base-10 integer, blanks around it ignored: 0 for a text that is
    // no number (the empty text included), nothing for a number that does not fit
    // in 32 bits.
    static std::optional<qint32> Int32Of(const QString& text);
    // The same in 64 bits; 0 for a text that is no number or does not fit.
    static qint64 Int64Of(const QString& text);

    bool operator==(const SPSFormatValues& other) const { return m_Values == other.m_Values; }
    bool operator!=(const SPSFormatValues& other) const { return !(*this == other); }

private:
    std::array<QString, KeyCount> m_Values;
};
