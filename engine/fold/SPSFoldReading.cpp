#include "SPSFoldReading.h"

#include "SPSNumbers.h"
#include "SPSRowReader.h"
#include "VeTaskSPSFilesLoaderParam.h"

#include <QFile>

#include <cmath>
#include <limits>

namespace {
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

double Number(const SPSRowReader& reader, const SPSLayout::Span& span)
{
    double value = 0;
    return RealFromText(reader.Field(span.pos, span.len), &value) ? value : kNaN;
}

// As the load scales coordinates: N < 0 multiplies by -N, N > 1 divides by N.
double Scaled(double value, qint32 scalar)
{
    if (scalar < 0)
        return value * double(-qint64(scalar));
    return scalar > 1 ? value / double(scalar) : value;
}
} // namespace

SPSFoldStationRows::SPSFoldStationRows(const VeTaskSPSFilesLoaderParam& param, QChar letter,
                                       const SPSNumberingSettings& numbering)
    : m_nCoordinateScalar(numbering.CoordinateScalar)
{
    using SPSLayout::Column;
    const SPSLayout::File kind =
        letter == u'S' ? SPSLayout::File::Source : SPSLayout::File::Receiver;
    m_Line = SPSLayout::ColumnOf(param, kind, Column::Line);
    m_Point = SPSLayout::ColumnOf(param, kind, Column::Point);
    m_X = SPSLayout::ColumnOf(param, kind, Column::X);
    m_Y = SPSLayout::ColumnOf(param, kind, Column::Y);
}

qint64 SPSFoldStationRows::RowLimit() const
{
    return SPSRowReader::RowLimitFor({{m_Line.pos, m_Line.len},
                                      {m_Point.pos, m_Point.len},
                                      {m_X.pos, m_X.len},
                                      {m_Y.pos, m_Y.len}});
}

void SPSFoldStationRows::Begin(qint64 fileSize)
{
    m_bBegun = true;
    // Rows of the usual 80 characters and more; the guess is only a reserve.
    m_Stations.reserve(size_t(qBound<qint64>(16, fileSize / 82 + 16, qint64(1) << 24)));
}

void SPSFoldStationRows::Row(const SPSRowReader& reader)
{
    m_Stations.push_back({Number(reader, m_Line), Number(reader, m_Point),
                          Scaled(Number(reader, m_X), m_nCoordinateScalar),
                          Scaled(Number(reader, m_Y), m_nCoordinateScalar)});
}

SPSFoldRelationRows::SPSFoldRelationRows(const VeTaskSPSFilesLoaderParam& param)
{
    using SPSLayout::Column;
    const auto span = [&](Column c) {
        return SPSLayout::ColumnOf(param, SPSLayout::File::Relation, c);
    };
    m_Record = span(Column::RecordNumber);
    m_SourceLine = span(Column::Line);
    m_SourcePoint = span(Column::Point);
    m_First = span(Column::FirstChannel);
    m_Last = span(Column::LastChannel);
    m_Increment = span(Column::ChannelIncrement);
    m_ReceiverLine = span(Column::ReceiverLine);
    m_FirstReceiver = span(Column::FirstReceiverPoint);
    m_LastReceiver = span(Column::LastReceiverPoint);
}

qint64 SPSFoldRelationRows::RowLimit() const
{
    QList<std::pair<qint32, qint32>> fields;
    for (const SPSLayout::Span& s : {m_Record, m_SourceLine, m_SourcePoint, m_First, m_Last,
                                     m_Increment, m_ReceiverLine, m_FirstReceiver, m_LastReceiver})
        fields.append({s.pos, s.len});
    return SPSRowReader::RowLimitFor(fields);
}

void SPSFoldRelationRows::Begin(qint64 fileSize)
{
    m_bBegun = true;
    m_Relations.clear();
    m_Relations.reserve(size_t(qBound<qint64>(16, fileSize / 72 + 16, qint64(1) << 24)));
}

void SPSFoldRelationRows::Row(const SPSRowReader& reader)
{
    SPSFoldRelation r;
    r.record = Number(reader, m_Record);
    r.sourceLine = Number(reader, m_SourceLine);
    r.sourcePoint = Number(reader, m_SourcePoint);
    r.firstChannel = Number(reader, m_First);
    r.lastChannel = Number(reader, m_Last);
    // A blank increment is the usual 1.
    r.channelIncrement = reader.RealField(m_Increment.pos, m_Increment.len);
    r.receiverLine = Number(reader, m_ReceiverLine);
    r.firstReceiver = Number(reader, m_FirstReceiver);
    r.lastReceiver = Number(reader, m_LastReceiver);
    m_Relations.push_back(r);
}

bool SPSFoldReading::ReadRelations(const VeTaskSPSFilesLoaderParam& param,
                                   std::vector<SPSFoldRelation>* relations, QString* errorText)
{
    const QString& path = param.RelationFileName;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (errorText)
            *errorText = tr("Cannot open file [%1] for reading!").arg(path);
        return false;
    }
    SPSFoldRelationRows rows(param);
    SPSRowReader reader = SPSRowReader::ForFile(&file, param, SPSLayout::File::Relation, u'X');
    reader.SetRowLimit(rows.RowLimit());
    rows.Begin(file.size());
    while (reader.NextRecord())
        rows.Row(reader);
    if (reader.Failed()) {
        if (errorText)
            *errorText = tr("Cannot read file [%1] to its end!").arg(path);
        return false;
    }
    relations->swap(rows.Relations());
    return true;
}
