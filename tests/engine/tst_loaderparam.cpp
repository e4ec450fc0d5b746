#include "VeTaskSPSFilesLoaderParam.h"

#include <QtTest>

#include <set>

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
        const int expected[] = {72, 72, 72, 1,  16, 17, 8,  32, 4,  46, 9,  55, 10, 65, 6,
                                1,  16, 17, 8,  46, 9,  55, 10, 65, 6,  7,  4,  13, 16, 29,
                                8,  38, 4,  42, 4,  46, 1,  47, 16, 63, 8,  71, 8};
        const auto& fields = VeTaskSPSFilesLoaderParam::IntFields();
        QCOMPARE(fields.size(), std::size(expected));
        for (size_t i = 0; i < fields.size(); ++i)
            QVERIFY2(p.*fields[i].member == expected[i], fields[i].key);
    }

    void fieldTableCoversEveryMemberOnce()
    {
        // Distinct values written through the table read back unchanged only if
        // no two entries name the same member.
        VeTaskSPSFilesLoaderParam p;
        const auto& fields = VeTaskSPSFilesLoaderParam::IntFields();
        for (size_t i = 0; i < fields.size(); ++i)
            p.*fields[i].member = qint32(5000 + i);
        std::set<QByteArray> keys;
        for (size_t i = 0; i < fields.size(); ++i) {
            QCOMPARE(p.*fields[i].member, qint32(5000 + i));
            keys.insert(fields[i].key);
        }
        QCOMPARE(keys.size(), fields.size());
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
        for (const auto& f : VeTaskSPSFilesLoaderParam::IntFields())
            source.*f.member = value++;

        VeTaskSPSFilesLoaderParam copy;
        copy.CopyFrom(source);
        QCOMPARE(copy.SourceFileName, source.SourceFileName);
        QCOMPARE(copy.ReceiverFileName, source.ReceiverFileName);
        QCOMPARE(copy.RelationFileName, source.RelationFileName);
        QVERIFY(!copy.AutoSkipS && !copy.AutoSkipR && !copy.AutoSkipX);
        for (const auto& f : VeTaskSPSFilesLoaderParam::IntFields())
            QVERIFY2(copy.*f.member == source.*f.member, f.key);
        QCOMPARE(copy.GetName(), QString("Load SPS File"));
    }
};

QTEST_GUILESS_MAIN(TestLoaderParam)
#include "tst_loaderparam.moc"
