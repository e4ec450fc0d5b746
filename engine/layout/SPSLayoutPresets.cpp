#include "SPSLayoutPresets.h"

#include "SPSLayout.h"
#include "VeTaskSPSFilesLoaderParam.h"

#include <QLatin1StringView>

namespace {
using SPSLayout::Field;
using SPSLayout::Kind;

// Revision 2.1 columns, counted from 0; revision 1 is the layout's standard.
struct Revision21Column
{
    const char* key;
    qint32 value;
};
const Revision21Column kRevision21[] = {
    {"SrcLinePos", 1},       {"SrcLineLen", 10},       {"SrcIDPos", 11},
    {"SrcIDLen", 10},        {"SrcWellPos", 30},       {"SrcWellLen", 4},
    {"SrcCoordX", 46},       {"SrcCoordXLen", 9},      {"SrcCoordY", 55},
    {"SrcCoordYLen", 10},    {"SrcElevPos", 65},       {"SrcElevLen", 6},
    {"RecvLinePos", 1},      {"RecvLineLen", 10},      {"RecvIDPos", 11},
    {"RecvIDLen", 10},       {"RecvCoordX", 46},       {"RecvCoordXLen", 9},
    {"RecvCoordY", 55},      {"RecvCoordYLen", 10},    {"RecvElevPos", 65},
    {"RecvElevLen", 6},      {"XRecordNumPos", 7},     {"XRecordNumLen", 8},
    {"XSrcLinePos", 17},     {"XSrcLineLen", 10},      {"XSrcIDPos", 27},
    {"XSrcIDLen", 10},       {"XFirstChannelPos", 38}, {"XFirstChannelLen", 5},
    {"XLastChannelPos", 43}, {"XLastChannelLen", 5},   {"XChannelIncrPos", 48},
    {"XChannelIncrLen", 1},  {"XRecvLinePos", 49},     {"XRecvLineLen", 10},
    {"XFirstRecvIDPos", 59}, {"XFirstRecvIDLen", 10},  {"XLastRecvIDPos", 69},
    {"XLastRecvIDLen", 10},
};

bool isColumn(const Field& f)
{
    return f.kind == Kind::Position || f.kind == Kind::Length;
}

SPSLayout::File fileOf(QChar letter, bool* ok)
{
    *ok = true;
    switch (letter.unicode()) {
    case u'S':
        return SPSLayout::File::Source;
    case u'R':
        return SPSLayout::File::Receiver;
    case u'X':
        return SPSLayout::File::Relation;
    default:
        *ok = false;
        return SPSLayout::File::Source;
    }
}

bool matches(const VeTaskSPSFilesLoaderParam& param, QChar letter, SPSRevision revision,
             bool pointColumnsOnly)
{
    bool ok = false;
    const SPSLayout::File file = fileOf(letter, &ok);
    if (!ok)
        return false;
    for (const Field& f : SPSLayout::Fields()) {
        if (f.file != file || !isColumn(f))
            continue;
        if (pointColumnsOnly) {
            const QLatin1StringView k(f.key);
            if (!k.contains(QLatin1StringView("Line")) && !k.contains(QLatin1StringView("ID")))
                continue;
        }
        if (param.*f.value != SPSLayoutPresets::ColumnValue(revision, f))
            return false;
    }
    return true;
}
} // namespace

qint32 SPSLayoutPresets::ColumnValue(SPSRevision revision, const SPSLayout::Field& field)
{
    if (revision == SPSRevision::Revision21)
        for (const Revision21Column& c : kRevision21)
            if (QLatin1StringView(c.key) == QLatin1StringView(field.key))
                return c.value;
    return field.standard;
}

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
    bool ok = false;
    const SPSLayout::File file = fileOf(recordLetter, &ok);
    if (!param || revision == SPSRevision::Unknown || !ok)
        return;
    for (const Field& f : SPSLayout::Fields()) {
        if (f.file != file)
            continue;
        if (f.kind == Kind::AutoSkip)
            param->*f.flag = true;
        else if (isColumn(f))
            param->*f.value = ColumnValue(revision, f);
    }
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
