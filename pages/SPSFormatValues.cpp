#include "SPSFormatValues.h"

#include "VeTaskSPSFilesLoaderParam.h"

#include <QRegularExpression>

#include <limits>

namespace {

struct KeyInfo
{
    const char* key;
    const char* defaultText;
};

// File order; the defaults are the standard layout counted from 1.
constexpr std::array<KeyInfo, SPSFormatValues::KeyCount> kKeys{{
    {"AutoSkipS", "1"},         {"AutoSkipR", "1"},        {"AutoSkipX", "1"},
    {"SkipPosS", "72"},         {"SkipPosR", "72"},        {"SkipPosX", "72"},
    {"SrcLinePos", "2"},        {"SrcLineLen", "16"},      {"SrcIDPos", "18"},
    {"SrcIDLen", "8"},          {"SrcCoordX", "47"},       {"SrcCoordXLen", "9"},
    {"SrcCoordY", "56"},        {"SrcCoordYLen", "10"},    {"SrcElevPos", "66"},
    {"SrcElevLen", "6"},        {"SrcWellPos", "33"},      {"SrcWellLen", "4"},
    {"RecvLinePos", "2"},       {"RecvLineLen", "16"},     {"RecvIDPos", "18"},
    {"RecvIDLen", "8"},         {"RecvCoordX", "47"},      {"RecvCoordXLen", "9"},
    {"RecvCoordY", "56"},       {"RecvCoordYLen", "10"},   {"RecvElevPos", "66"},
    {"RecvElevLen", "6"},       {"XRecordNumPos", "8"},    {"XRecordNumLen", "4"},
    {"XFirstChannelPos", "39"}, {"XFirstChannelLen", "4"}, {"XLastChannelPos", "43"},
    {"XLastChannelLen", "4"},   {"XChannelIncrPos", "47"}, {"XChannelIncrLen", "1"},
    {"XSrcLinePos", "14"},      {"XSrcLineLen", "16"},     {"XSrcIDPos", "30"},
    {"XSrcIDLen", "8"},         {"XRecvLinePos", "48"},    {"XRecvLineLen", "16"},
    {"XFirstRecvIDPos", "64"},  {"XFirstRecvIDLen", "8"},  {"XLastRecvIDPos", "72"},
    {"XLastRecvIDLen", "8"},
}};

const char* const kPositionKeys[] = {
    "SrcLinePos",      "SrcIDPos",        "SrcWellPos",   "SrcCoordX",       "SrcCoordY",
    "SrcElevPos",      "RecvLinePos",     "RecvIDPos",    "RecvCoordX",      "RecvCoordY",
    "RecvElevPos",     "XRecordNumPos",   "XSrcLinePos",  "XSrcIDPos",       "XFirstChannelPos",
    "XLastChannelPos", "XChannelIncrPos", "XRecvLinePos", "XFirstRecvIDPos", "XLastRecvIDPos",
};

// What a check asks of a value.
enum class Rule
{
    Positive,
    NotNegative
};

struct Check
{
    const char* key;
    Rule rule;
    const char* onlyWhenOff; // the auto-skip key that must be off for the check to run
};

// The order in which the page checks its edits, tab by tab.
const Check kChecks[] = {
    {"SrcIDPos", Rule::Positive, nullptr},         {"SrcIDLen", Rule::Positive, nullptr},
    {"SrcCoordX", Rule::Positive, nullptr},        {"SrcCoordXLen", Rule::Positive, nullptr},
    {"SrcCoordY", Rule::Positive, nullptr},        {"SrcCoordYLen", Rule::Positive, nullptr},
    {"SrcElevPos", Rule::Positive, nullptr},       {"SrcElevLen", Rule::Positive, nullptr},
    {"SrcLinePos", Rule::Positive, nullptr},       {"SrcLineLen", Rule::Positive, nullptr},
    {"SrcWellPos", Rule::Positive, nullptr},       {"SrcWellLen", Rule::Positive, nullptr},
    {"SkipPosS", Rule::NotNegative, "AutoSkipS"},  {"RecvIDPos", Rule::Positive, nullptr},
    {"RecvIDLen", Rule::Positive, nullptr},        {"RecvCoordX", Rule::Positive, nullptr},
    {"RecvCoordXLen", Rule::Positive, nullptr},    {"RecvCoordY", Rule::Positive, nullptr},
    {"RecvCoordYLen", Rule::Positive, nullptr},    {"RecvElevPos", Rule::Positive, nullptr},
    {"RecvElevLen", Rule::Positive, nullptr},      {"RecvLinePos", Rule::Positive, nullptr},
    {"RecvLineLen", Rule::Positive, nullptr},      {"SkipPosR", Rule::NotNegative, "AutoSkipR"},
    {"XRecordNumPos", Rule::Positive, nullptr},    {"XRecordNumLen", Rule::Positive, nullptr},
    {"XSrcLinePos", Rule::Positive, nullptr},      {"XSrcLineLen", Rule::Positive, nullptr},
    {"XFirstChannelPos", Rule::Positive, nullptr}, {"XFirstChannelLen", Rule::Positive, nullptr},
    {"XLastChannelPos", Rule::Positive, nullptr},  {"XLastChannelLen", Rule::Positive, nullptr},
    {"XChannelIncrPos", Rule::Positive, nullptr},  {"XChannelIncrLen", Rule::Positive, nullptr},
    {"XSrcIDPos", Rule::Positive, nullptr},        {"XSrcIDLen", Rule::Positive, nullptr},
    {"XRecvLinePos", Rule::Positive, nullptr},     {"XRecvLineLen", Rule::Positive, nullptr},
    {"XFirstRecvIDPos", Rule::Positive, nullptr},  {"XFirstRecvIDLen", Rule::Positive, nullptr},
    {"XLastRecvIDPos", Rule::Positive, nullptr},   {"XLastRecvIDLen", Rule::Positive, nullptr},
};

int IndexOf(const QString& key)
{
    return SPSFormatValues::Keys().indexOf(key);
}

qint32 VeTaskSPSFilesLoaderParam::*MemberOf(const QString& key)
{
    for (const auto& f : VeTaskSPSFilesLoaderParam::IntFields()) {
        if (key == QLatin1String(f.key))
            return f.member;
    }
    return nullptr;
}

} // namespace

SPSFormatValues::SPSFormatValues()
{
    for (int i = 0; i < KeyCount; ++i)
        m_Values[i] = QString::fromLatin1(kKeys[i].defaultText);
}

const QStringList& SPSFormatValues::Keys()
{
    static const QStringList keys = [] {
        QStringList list;
        for (const KeyInfo& k : kKeys)
            list << QString::fromLatin1(k.key);
        return list;
    }();
    return keys;
}

bool SPSFormatValues::IsAutoSkipKey(const QString& key)
{
    return key == QLatin1String("AutoSkipS") || key == QLatin1String("AutoSkipR") ||
           key == QLatin1String("AutoSkipX");
}

bool SPSFormatValues::IsPositionKey(const QString& key)
{
    for (const char* k : kPositionKeys) {
        if (key == QLatin1String(k))
            return true;
    }
    return false;
}

QString SPSFormatValues::Value(const QString& key) const
{
    const int i = IndexOf(key);
    return i < 0 ? QString() : m_Values[i];
}

void SPSFormatValues::SetValue(const QString& key, const QString& text)
{
    const int i = IndexOf(key);
    if (i < 0)
        return;
    if (IsAutoSkipKey(key))
        m_Values[i] = Int64Of(text) != 0 ? QStringLiteral("1") : QStringLiteral("0");
    else
        m_Values[i] = text;
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
    for (const Check& c : kChecks) {
        const QString key = QString::fromLatin1(c.key);
        if (c.onlyWhenOff && IsAutoSkipOn(QString::fromLatin1(c.onlyWhenOff)))
            continue;
        const std::optional<qint32> value = Int32Of(Value(key));
        if (!value)
            return key;
        if (c.rule == Rule::Positive ? *value <= 0 : *value < 0)
            return key;
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
    param->AutoSkipS = IsAutoSkipOn(QStringLiteral("AutoSkipS"));
    param->AutoSkipR = IsAutoSkipOn(QStringLiteral("AutoSkipR"));
    param->AutoSkipX = IsAutoSkipOn(QStringLiteral("AutoSkipX"));
    for (const QString& key : Keys()) {
        if (IsAutoSkipKey(key))
            continue;
        // Values left unchecked (a count whose auto-skip is on, the X count) are
        // taken as 0 when they do not fit.
        qint32 value = Int32Of(Value(key)).value_or(0);
        if (IsPositionKey(key))
            value -= 1; // checked to be at least 1
        param->*MemberOf(key) = value;
    }
    return true;
}

void SPSFormatValues::GatherStandard(VeTaskSPSFilesLoaderParam* param)
{
    if (!param)
        return;
    const VeTaskSPSFilesLoaderParam standard;
    param->AutoSkipS = true;
    param->AutoSkipR = true;
    param->AutoSkipX = true;
    for (const auto& f : VeTaskSPSFilesLoaderParam::IntFields()) {
        const QLatin1String key(f.key);
        if (key != QLatin1String("SkipPosS") && key != QLatin1String("SkipPosR") &&
            key != QLatin1String("SkipPosX"))
            param->*f.member = standard.*f.member;
    }
}
