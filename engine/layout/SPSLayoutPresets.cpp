#include "SPSLayoutPresets.h"

#include "SPSLayout.h"
#include "VeTaskSPSFilesLoaderParam.h"

namespace {
using SPSLayout::Field;
using SPSLayout::Kind;

// The fields that name a point: its line and its number, in S, R and X rows.
bool isPointColumn(SPSLayout::Column c)
{
    using SPSLayout::Column;
    return c == Column::Line || c == Column::Point || c == Column::ReceiverLine ||
           c == Column::FirstReceiverPoint || c == Column::LastReceiverPoint;
}

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
        if (pointColumnsOnly && !isPointColumn(f.column))
            continue;
        if (param.*f.value != SPSLayoutPresets::ColumnValue(revision, f))
            return false;
    }
    return true;
}
} // namespace

qint32 SPSLayoutPresets::ColumnValue(SPSRevision revision, const SPSLayout::Field& field)
{
    return revision == SPSRevision::Revision21 ? field.revision21 : field.standard;
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
