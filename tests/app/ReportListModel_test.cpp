#include "app/models/ReportListModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

class ReportListModelTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void appendedLinesAppearInOneInsertionPerFlush()
    {
        ReportListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);

        // The scan writes straight into the store; nothing shows before a flush.
        for (int i = 0; i < 1000; ++i)
            model.lines().append("line " + std::to_string(i), i % 2 ? 16 : 15);
        QCOMPARE(model.rowCount(), 0);
        model.flush();
        QCOMPARE(model.rowCount(), 1000);
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(inserted[0][1].toInt(), 0);
        QCOMPARE(inserted[0][2].toInt(), 999);

        model.lines().append("", 0);
        model.lines().append("     Owner: (n/a)", 17);
        model.flush();
        QCOMPARE(inserted.count(), 2);
        QCOMPARE(inserted[1][1].toInt(), 1000);
        QCOMPARE(inserted[1][2].toInt(), 1001);

        // A flush with nothing new inserts nothing.
        model.flush();
        QCOMPARE(inserted.count(), 2);

        QCOMPARE(model.data(model.index(3)).toString(), QStringLiteral("line 3"));
        QCOMPARE(model.data(model.index(3), ReportListModel::KindCodeRole).toInt(), 16);
        QCOMPARE(model.data(model.index(1000), ReportListModel::KindCodeRole).toInt(), 0);
        QCOMPARE(model.data(model.index(1001)).toString(), QStringLiteral("     Owner: (n/a)"));
        QVERIFY(!model.data(model.index(3), Qt::DecorationRole).isValid());
    }

    void appendThroughTheModelFlushesFromTheEventLoop()
    {
        ReportListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.append("Base: \\\\FS1\\VOL1", 10);
        model.append("     Subdirs: TRUE", 11);
        QCOMPARE(model.rowCount(), 0);
        QTRY_COMPARE(model.rowCount(), 2);
    }

    void feedingFlushesWhileTheLoopRunsAndOnceMoreAtTheEnd()
    {
        ReportListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setFeeding(true);
        QVERIFY(model.feeding());
        model.lines().append("a", 15);
        QTRY_COMPARE(model.rowCount(), 1);
        model.lines().append("b", 15);
        model.setFeeding(false);
        QVERIFY(!model.feeding());
        QCOMPARE(model.rowCount(), 2);
    }

    void clearReplaceAndTextChanges()
    {
        ReportListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.lines().append("FS1\\VOL1:DATA", 15);
        model.flush();

        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        model.lines().replaceText(0, "\\\\FS1\\VOL1\\Data");
        model.textsChanged();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(model.data(model.index(0)).toString(), QStringLiteral("\\\\FS1\\VOL1\\Data"));

        ReportList built;
        built.append("Trustee: .Admin.Corp ", 0);
        built.append("     FS1\\VOL1:DATA [RF]", 0);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        model.replaceAll(std::move(built));
        QCOMPARE(reset.count(), 1);
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.data(model.index(1)).toString(), QStringLiteral("     FS1\\VOL1:DATA [RF]"));

        model.clear();
        QCOMPARE(model.rowCount(), 0);
        QVERIFY(model.lines().empty());
        // textsChanged on an empty model announces nothing.
        changed.clear();
        model.textsChanged();
        QCOMPARE(changed.count(), 0);
    }

    void aStoreEmptiedBehindTheModelIsAnsweredWithAReset()
    {
        ReportListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.lines().append("x", 15);
        model.lines().append("y", 16);
        model.flush();
        model.lines().clear();
        model.lines().append("z", 17);
        // Rows beyond the store are never read, even before the next flush.
        QVERIFY(!model.data(model.index(1)).isValid());
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        model.flush();
        QCOMPARE(reset.count(), 1);
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.data(model.index(0)).toString(), QStringLiteral("z"));
    }
};

QTEST_MAIN(ReportListModelTest)
#include "ReportListModel_test.moc"
