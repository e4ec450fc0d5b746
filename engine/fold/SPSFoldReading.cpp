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

bool SPSFoldReading::ReadRelations(const VeTaskSPSFilesLoaderParam& param,
                                   std::vector<SPSFoldRelation>* relations, QString* errorText)
{
    using SPSLayout::Column;
    const QString& path = param.RelationFileName;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (errorText)
            *errorText = tr("Cannot open file [%1] for reading!").arg(path);
        return false;
    }
    const auto span = [&](Column c) {
        return SPSLayout::ColumnOf(param, SPSLayout::File::Relation, c);
    };
    const SPSLayout::Span record = span(Column::RecordNumber), sourceLine = span(Column::Line),
                          sourcePoint = span(Column::Point), first = span(Column::FirstChannel),
                          last = span(Column::LastChannel),
                          increment = span(Column::ChannelIncrement),
                          receiverLine = span(Column::ReceiverLine),
                          firstReceiver = span(Column::FirstReceiverPoint),
                          lastReceiver = span(Column::LastReceiverPoint);
    SPSRowReader reader = SPSRowReader::ForFile(&file, param, SPSLayout::File::Relation, u'X');
    QList<std::pair<qint32, qint32>> fields;
    for (const SPSLayout::Span& s : {record, sourceLine, sourcePoint, first, last, increment,
                                     receiverLine, firstReceiver, lastReceiver})
        fields.append({s.pos, s.len});
    reader.SetRowLimit(SPSRowReader::RowLimitFor(fields));
    relations->clear();
    relations->reserve(size_t(qBound<qint64>(16, file.size() / 72 + 16, qint64(1) << 24)));
    while (reader.NextRecord()) {
        SPSFoldRelation r;
        r.record = Number(reader, record);
        r.sourceLine = Number(reader, sourceLine);
        r.sourcePoint = Number(reader, sourcePoint);
        r.firstChannel = Number(reader, first);
        r.lastChannel = Number(reader, last);
        // A blank increment is the usual 1.
        r.channelIncrement = reader.RealField(increment.pos, increment.len);
        r.receiverLine = Number(reader, receiverLine);
        r.firstReceiver = Number(reader, firstReceiver);
        r.lastReceiver = Number(reader, lastReceiver);
        relations->push_back(r);
    }
    if (reader.Failed()) {
        if (errorText)
            *errorText = tr("Cannot read file [%1] to its end!").arg(path);
        return false;
    }
    return true;
}
