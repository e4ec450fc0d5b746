#include "SPSLayout.h"
#include "VeTaskSPSFilesLoaderParam.h"

#include <QtTest>

#include <utility>
#include <vector>

namespace {

using NamedValues = std::vector<std::pair<QByteArray, qint32>>;

// The skip settings and the column layout read member by member, apart from the
// layout table: the switches, the counts, then the columns in declaration order.
NamedValues byName(const VeTaskSPSFilesLoaderParam& p)
{
#define SPS_MEMBER(name)                                                                           \
    {                                                                                              \
        QByteArray(#name), qint32(p.name)                                                          \
    }
    return {SPS_MEMBER(AutoSkipS),       SPS_MEMBER(AutoSkipR),        SPS_MEMBER(AutoSkipX),
            SPS_MEMBER(SkipPosS),        SPS_MEMBER(SkipPosR),         SPS_MEMBER(SkipPosX),
            SPS_MEMBER(SrcLinePos),      SPS_MEMBER(SrcLineLen),       SPS_MEMBER(SrcIDPos),
            SPS_MEMBER(SrcIDLen),        SPS_MEMBER(SrcWellPos),       SPS_MEMBER(SrcWellLen),
            SPS_MEMBER(SrcCoordX),       SPS_MEMBER(SrcCoordXLen),     SPS_MEMBER(SrcCoordY),
            SPS_MEMBER(SrcCoordYLen),    SPS_MEMBER(SrcElevPos),       SPS_MEMBER(SrcElevLen),
            SPS_MEMBER(RecvLinePos),     SPS_MEMBER(RecvLineLen),      SPS_MEMBER(RecvIDPos),
            SPS_MEMBER(RecvIDLen),       SPS_MEMBER(RecvCoordX),       SPS_MEMBER(RecvCoordXLen),
            SPS_MEMBER(RecvCoordY),      SPS_MEMBER(RecvCoordYLen),    SPS_MEMBER(RecvElevPos),
            SPS_MEMBER(RecvElevLen),     SPS_MEMBER(XRecordNumPos),    SPS_MEMBER(XRecordNumLen),
            SPS_MEMBER(XSrcLinePos),     SPS_MEMBER(XSrcLineLen),      SPS_MEMBER(XSrcIDPos),
            SPS_MEMBER(XSrcIDLen),       SPS_MEMBER(XFirstChannelPos), SPS_MEMBER(XFirstChannelLen),
            SPS_MEMBER(XLastChannelPos), SPS_MEMBER(XLastChannelLen),  SPS_MEMBER(XChannelIncrPos),
            SPS_MEMBER(XChannelIncrLen), SPS_MEMBER(XRecvLinePos),     SPS_MEMBER(XRecvLineLen),
            SPS_MEMBER(XFirstRecvIDPos), SPS_MEMBER(XFirstRecvIDLen),  SPS_MEMBER(XLastRecvIDPos),
            SPS_MEMBER(XLastRecvIDLen)};
#undef SPS_MEMBER
}

} // namespace

class TestLoaderParam : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void defaults()
    {
        const VeTaskSPSFilesLoaderParam p;
        QCOMPARE(p.GetName(), QString("Load SPS File"));
        QVERIFY(p.SourceFileName.isEmpty() && p.ReceiverFileName.isEmpty() &&
                p.RelationFileName.isEmpty());
        QVERIFY(p.AutoSkipS && p.AutoSkipR && p.AutoSkipX);
        QVERIFY(p.IsValid());
        // The standard layout, counted from 0, in declaration order.
        const int expected[] = {72, 72, 72, 1,  16, 17, 8,  32, 4,  46, 9, 55, 10, 65, 6,
                                1,  16, 17, 8,  46, 9,  55, 10, 65, 6,  7, 4,  13, 16, 29,
                                8,  38, 4,  42, 4,  46, 1,  47, 16, 63, 8, 71, 8};
        const NamedValues members = byName(p);
        QCOMPARE(members.size(), std::size(expected) + 3);
        for (size_t i = 0; i < std::size(expected); ++i)
            QVERIFY2(members[i + 3].second == expected[i], members[i + 3].first);
    }

    // Each entry of the layout table reads and writes the member of its name:
    // distinct values written through the table come back by name, and every
    // member is reached once.
    void layoutTableNamesItsMembers()
    {
        VeTaskSPSFilesLoaderParam p;
        const auto& fields = SPSLayout::Fields();
        for (size_t i = 0; i < fields.size(); ++i)
            SPSLayout::SetValue(&p, fields[i],
                                fields[i].kind == SPSLayout::Kind::AutoSkip ? i % 2 : 5000 + i);
        QMap<QByteArray, qint32> written;
        for (size_t i = 0; i < fields.size(); ++i)
            written[fields[i].key] =
                fields[i].kind == SPSLayout::Kind::AutoSkip ? i % 2 : qint32(5000 + i);
        QMap<QByteArray, qint32> read;
        for (const auto& [name, value] : byName(p))
            read[name] = value;
        QCOMPARE(read, written);
    }

    // What a reader asks of the table: where a field of a file's rows stands.
    void columnOf_data()
    {
        QTest::addColumn<int>("file");
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("found");
        QTest::addColumn<int>("pos");
        QTest::addColumn<int>("len");
        using F = SPSLayout::File;
        using C = SPSLayout::Column;
        QTest::newRow("source line") << int(F::Source) << int(C::Line) << true << 1 << 16;
        QTest::newRow("source depth") << int(F::Source) << int(C::Depth) << true << 32 << 4;
        QTest::newRow("receiver Y") << int(F::Receiver) << int(C::Y) << true << 55 << 10;
        QTest::newRow("receivers have no depth")
            << int(F::Receiver) << int(C::Depth) << false << 0 << 0;
        QTest::newRow("relation source point")
            << int(F::Relation) << int(C::Point) << true << 29 << 8;
        QTest::newRow("no column") << int(F::Source) << int(C::None) << false << 0 << 0;
    }

    void columnOf()
    {
        QFETCH(int, file);
        QFETCH(int, column);
        QFETCH(bool, found);
        QFETCH(int, pos);
        QFETCH(int, len);
        const SPSLayout::Span span = SPSLayout::ColumnOf(
            VeTaskSPSFilesLoaderParam(), SPSLayout::File(file), SPSLayout::Column(column));
        QCOMPARE(span.found, found);
        QCOMPARE(span.pos, pos);
        QCOMPARE(span.len, len);
    }

    void copyFrom()
    {
        VeTaskSPSFilesLoaderParam source;
        source.SourceFileName = "a.s";
        source.ReceiverFileName = "b.r";
        source.RelationFileName = "c.x";
        source.AutoSkipS = false;
        source.AutoSkipR = false;
        source.AutoSkipX = false;
        qint32 value = 1000;
        for (const SPSLayout::Field& f : SPSLayout::Fields())
            if (f.value)
                source.*f.value = value++;
        source.Numbering = {2, 3, -10, 100, 1000};

        VeTaskSPSFilesLoaderParam copy;
        copy.CopyFrom(source);
        QCOMPARE(copy.SourceFileName, source.SourceFileName);
        QCOMPARE(copy.ReceiverFileName, source.ReceiverFileName);
        QCOMPARE(copy.RelationFileName, source.RelationFileName);
        QVERIFY(!copy.AutoSkipS && !copy.AutoSkipR && !copy.AutoSkipX);
        QCOMPARE(byName(copy), byName(source));
        const SPSNumberingSettings& n = copy.Numbering;
        QCOMPARE((QList<qint32>{n.ShotNumberFactor, n.ReceiverNumberFactor, n.CoordinateScalar,
                                n.ElevationScalar, n.LineFactor}),
                 (QList<qint32>{2, 3, -10, 100, 1000}));
        QCOMPARE(copy.GetName(), QString("Load SPS File"));
    }
};

QTEST_GUILESS_MAIN(TestLoaderParam)
#include "tst_loaderparam.moc"
