#include "SPSLayoutPresets.h"

#include "VeTaskSPSFilesLoaderParam.h"

#include <QLatin1StringView>

namespace {
// The 40 column fields, 0-based: revision 1 (the record's defaults) and 2.1.
struct PresetColumn
{
    const char* key;
    qint32 VeTaskSPSFilesLoaderParam::*member;
    qint32 revision1;
    qint32 revision21;
};

using P = VeTaskSPSFilesLoaderParam;
const PresetColumn kColumns[] = {
    {"SrcLinePos", &P::SrcLinePos, 1, 1},
    {"SrcLineLen", &P::SrcLineLen, 16, 10},
    {"SrcIDPos", &P::SrcIDPos, 17, 11},
    {"SrcIDLen", &P::SrcIDLen, 8, 10},
    {"SrcWellPos", &P::SrcWellPos, 32, 30},
    {"SrcWellLen", &P::SrcWellLen, 4, 4},
    {"SrcCoordX", &P::SrcCoordX, 46, 46},
    {"SrcCoordXLen", &P::SrcCoordXLen, 9, 9},
    {"SrcCoordY", &P::SrcCoordY, 55, 55},
    {"SrcCoordYLen", &P::SrcCoordYLen, 10, 10},
    {"SrcElevPos", &P::SrcElevPos, 65, 65},
    {"SrcElevLen", &P::SrcElevLen, 6, 6},
    {"RecvLinePos", &P::RecvLinePos, 1, 1},
    {"RecvLineLen", &P::RecvLineLen, 16, 10},
    {"RecvIDPos", &P::RecvIDPos, 17, 11},
    {"RecvIDLen", &P::RecvIDLen, 8, 10},
    {"RecvCoordX", &P::RecvCoordX, 46, 46},
    {"RecvCoordXLen", &P::RecvCoordXLen, 9, 9},
    {"RecvCoordY", &P::RecvCoordY, 55, 55},
    {"RecvCoordYLen", &P::RecvCoordYLen, 10, 10},
    {"RecvElevPos", &P::RecvElevPos, 65, 65},
    {"RecvElevLen", &P::RecvElevLen, 6, 6},
    {"XRecordNumPos", &P::XRecordNumPos, 7, 7},
    {"XRecordNumLen", &P::XRecordNumLen, 4, 8},
    {"XSrcLinePos", &P::XSrcLinePos, 13, 17},
    {"XSrcLineLen", &P::XSrcLineLen, 16, 10},
    {"XSrcIDPos", &P::XSrcIDPos, 29, 27},
    {"XSrcIDLen", &P::XSrcIDLen, 8, 10},
    {"XFirstChannelPos", &P::XFirstChannelPos, 38, 38},
    {"XFirstChannelLen", &P::XFirstChannelLen, 4, 5},
    {"XLastChannelPos", &P::XLastChannelPos, 42, 43},
    {"XLastChannelLen", &P::XLastChannelLen, 4, 5},
    {"XChannelIncrPos", &P::XChannelIncrPos, 46, 48},
    {"XChannelIncrLen", &P::XChannelIncrLen, 1, 1},
    {"XRecvLinePos", &P::XRecvLinePos, 47, 49},
    {"XRecvLineLen", &P::XRecvLineLen, 16, 10},
    {"XFirstRecvIDPos", &P::XFirstRecvIDPos, 63, 59},
    {"XFirstRecvIDLen", &P::XFirstRecvIDLen, 8, 10},
    {"XLastRecvIDPos", &P::XLastRecvIDPos, 71, 69},
    {"XLastRecvIDLen", &P::XLastRecvIDLen, 8, 10},
};

// The record letter of the group a column key belongs to.
QChar groupOf(const char* key)
{
    const QLatin1StringView k(key);
    if (k.startsWith(QLatin1StringView("Src")))
        return u'S';
    if (k.startsWith(QLatin1StringView("Recv")))
        return u'R';
    return u'X';
}

qint32 presetValue(const PresetColumn& c, SPSRevision revision)
{
    return revision == SPSRevision::Revision21 ? c.revision21 : c.revision1;
}

bool* autoSkipOf(QChar letter, VeTaskSPSFilesLoaderParam* param)
{
    switch (letter.unicode()) {
    case u'S':
        return &param->AutoSkipS;
    case u'R':
        return &param->AutoSkipR;
    case u'X':
        return &param->AutoSkipX;
    default:
        return nullptr;
    }
}

bool matches(const VeTaskSPSFilesLoaderParam& param, QChar letter, SPSRevision revision,
             bool pointColumnsOnly)
{
    for (const PresetColumn& c : kColumns) {
        if (groupOf(c.key) != letter)
            continue;
        if (pointColumnsOnly) {
            const QLatin1StringView k(c.key);
            if (!k.contains(QLatin1StringView("Line")) && !k.contains(QLatin1StringView("ID")))
                continue;
        }
        if (param.*c.member != presetValue(c, revision))
            return false;
    }
    return true;
}
} // namespace

QString SPSLayoutPresets::RevisionText(SPSRevision revision)
{
    switch (revision) {
    case SPSRevision::Revision1:
        return QStringLiteral("1");
    case SPSRevision::Revision21:
        return QStringLiteral("2.1");
    case SPSRevision::Unknown:
        break;
    }
    return {};
}

std::optional<SPSRevision> SPSLayoutPresets::RevisionFromText(const QString& text)
{
    const QString t = text.trimmed();
    if (t == QLatin1String("1"))
        return SPSRevision::Revision1;
    if (t == QLatin1String("2.1"))
        return SPSRevision::Revision21;
    return std::nullopt;
}

void SPSLayoutPresets::Apply(SPSRevision revision, VeTaskSPSFilesLoaderParam* param)
{
    for (QChar letter : {u'S', u'R', u'X'})
        Apply(revision, letter, param);
}

void SPSLayoutPresets::Apply(SPSRevision revision, QChar recordLetter,
                             VeTaskSPSFilesLoaderParam* param)
{
    if (!param || revision == SPSRevision::Unknown)
        return;
    bool* autoSkip = autoSkipOf(recordLetter, param);
    if (!autoSkip)
        return;
    *autoSkip = true;
    for (const PresetColumn& c : kColumns)
        if (groupOf(c.key) == recordLetter)
            param->*c.member = presetValue(c, revision);
}

SPSRevision SPSLayoutPresets::LayoutRevision(const VeTaskSPSFilesLoaderParam& param,
                                             QChar recordLetter)
{
    for (SPSRevision r : {SPSRevision::Revision1, SPSRevision::Revision21})
        if (matches(param, recordLetter, r, false))
            return r;
    return SPSRevision::Unknown;
}

SPSRevision SPSLayoutPresets::PointColumnsRevision(const VeTaskSPSFilesLoaderParam& param,
                                                   QChar recordLetter)
{
    for (SPSRevision r : {SPSRevision::Revision1, SPSRevision::Revision21})
        if (matches(param, recordLetter, r, true))
            return r;
    return SPSRevision::Unknown;
}

qint32 SPSLayoutPresets::PointIndexColumn(SPSRevision revision)
{
    switch (revision) {
    case SPSRevision::Revision1:
        return 25;
    case SPSRevision::Revision21:
        return 23;
    case SPSRevision::Unknown:
        break;
    }
    return -1;
}
