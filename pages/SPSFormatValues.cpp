#include "SPSFormatValues.h"

#include "SPSLayout.h"
#include "VeTaskSPSFilesLoaderParam.h"

#include <QRegularExpression>

#include <algorithm>
#include <limits>
#include <vector>

namespace {

using SPSLayout::Field;
using SPSLayout::Kind;

// The page shows positions counted from 1, as SPS headers count columns.
QString DefaultText(const Field& f)
{
    return QString::number(f.kind == Kind::Position ? f.standard + 1 : f.standard);
}

// The checked fields, in the order the page checks its edits.
const std::vector<const Field*>& CheckOrder()
{
    static const std::vector<const Field*> order = [] {
        std::vector<const Field*> fields;
        for (const Field& f : SPSLayout::Fields())
            if (f.checkOrder > 0)
                fields.push_back(&f);
        std::sort(fields.begin(), fields.end(),
                  [](const Field* a, const Field* b) { return a->checkOrder < b->checkOrder; });
        return fields;
    }();
    return order;
}

} // namespace

SPSFormatValues::SPSFormatValues()
{
    for (int i = 0; i < KeyCount; ++i)
        m_Values[i] = DefaultText(SPSLayout::Fields()[i]);
}

const QStringList& SPSFormatValues::Keys()
{
    static const QStringList keys = [] {
        QStringList list;
        for (const Field& f : SPSLayout::Fields())
            list << QString::fromLatin1(f.key);
        return list;
    }();
    return keys;
}

bool SPSFormatValues::IsAutoSkipKey(const QString& key)
{
    const int i = SPSLayout::IndexOf(key);
    return i >= 0 && SPSLayout::Fields()[i].kind == Kind::AutoSkip;
}

bool SPSFormatValues::IsPositionKey(const QString& key)
{
    const int i = SPSLayout::IndexOf(key);
    return i >= 0 && SPSLayout::Fields()[i].kind == Kind::Position;
}

QString SPSFormatValues::Value(const QString& key) const
{
    const int i = SPSLayout::IndexOf(key);
    return i < 0 ? QString() : m_Values[i];
}

void SPSFormatValues::SetValue(const QString& key, const QString& text)
{
    const int i = SPSLayout::IndexOf(key);
    if (i < 0)
        return;
    if (SPSLayout::Fields()[i].kind == Kind::AutoSkip)
        m_Values[i] = Int64Of(text) != 0 ? QStringLiteral("1") : QStringLiteral("0");
    else
        m_Values[i] = text;
}

void SPSFormatValues::ApplyRevision(SPSRevision revision)
{
    if (revision == SPSRevision::Unknown)
        return;
    for (int i = 0; i < KeyCount; ++i) {
        const SPSLayout::Field& f = SPSLayout::Fields()[i];
        if (f.kind == Kind::AutoSkip)
            m_Values[i] = QStringLiteral("1");
        else if (f.kind == Kind::Position || f.kind == Kind::Length)
            m_Values[i] = QString::number(SPSLayoutPresets::ColumnValue(revision, f) +
                                          (f.kind == Kind::Position ? 1 : 0));
    }
}

std::optional<qint32> SPSFormatValues::Int32Of(const QString& text)
{
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    if (ok) {
        if (value < std::numeric_limits<qint32>::min() ||
            value > std::numeric_limits<qint32>::max())
            return std::nullopt;
        return qint32(value);
    }
    // A run of digits that failed the conversion is a number too large even for 64 bits.
    static const QRegularExpression digits(QStringLiteral("^[+-]?[0-9]+$"));
    if (digits.match(text.trimmed()).hasMatch())
        return std::nullopt;
    return 0;
}

qint64 SPSFormatValues::Int64Of(const QString& text)
{
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    return ok ? value : 0;
}

QString SPSFormatValues::FirstFailingKey() const
{
    const auto& fields = SPSLayout::Fields();
    for (const Field* f : CheckOrder()) {
        // A row count is not used, nor checked, while its file finds its data rows itself.
        if (f->autoSkip >= 0 && m_Values[f->autoSkip] == QLatin1String("1"))
            continue;
        const std::optional<qint32> value = Int32Of(m_Values[f - fields.data()]);
        const bool countsFromZero = f->kind == Kind::RowCount;
        if (!value || *value < (countsFromZero ? 0 : 1))
            return QString::fromLatin1(f->key);
    }
    return QString();
}

bool SPSFormatValues::Gather(VeTaskSPSFilesLoaderParam* param, QString* failedKey) const
{
    if (failedKey)
        failedKey->clear();
    if (!param)
        return false;
    const QString failed = FirstFailingKey();
    if (!failed.isEmpty()) {
        if (failedKey)
            *failedKey = failed;
        return false;
    }
    for (int i = 0; i < KeyCount; ++i) {
        const Field& f = SPSLayout::Fields()[i];
        // Values left unchecked (a count whose auto-skip is on, the X count) are
        // taken as 0 when they do not fit.
        qint32 value = Int32Of(m_Values[i]).value_or(0);
        if (f.kind == Kind::Position)
            value -= 1; // checked to be at least 1
        SPSLayout::SetValue(param, f, value);
    }
    return true;
}

void SPSFormatValues::GatherStandard(VeTaskSPSFilesLoaderParam* param)
{
    if (param)
        SPSLayout::SetStandard(param, true);
}
