#include "app/models/ReportListModel.h"
#include "app/widgets/TResultList.h"
#include "scan/LineKinds.h"

#include <QScrollBar>

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
        ReportList& lines = model.lines();
        for (int i = 0; i < 1000; ++i) {
            if (i % 2)
                lines.appendTrustee(lines.names().intern(".T" + std::to_string(i)), 0x41);
            else
                lines.appendPathLine("V:P" + std::to_string(i));
        }
        QCOMPARE(model.rowCount(), 0);
        model.flush();
        QCOMPARE(model.rowCount(), 1000);
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(inserted[0][1].toInt(), 0);
        QCOMPARE(inserted[0][2].toInt(), 999);

        lines.appendSeparator();
        lines.appendOwner(NameTable::noName);
        model.flush();
        QCOMPARE(inserted.count(), 2);
        QCOMPARE(inserted[1][1].toInt(), 1000);
        QCOMPARE(inserted[1][2].toInt(), 1001);

        // A flush with nothing new inserts nothing.
        model.flush();
        QCOMPARE(inserted.count(), 2);

        QCOMPARE(model.data(model.index(3)).toString(), QStringLiteral("     Trustee: .T3 [RF]"));
        QCOMPARE(model.data(model.index(4)).toString(), QStringLiteral("V:P4"));
        QCOMPARE(model.data(model.index(3), ReportListModel::KindCodeRole).toInt(), 16);
        QCOMPARE(model.data(model.index(1000), ReportListModel::KindCodeRole).toInt(), 0);
        QCOMPARE(model.data(model.index(1001)).toString(), QStringLiteral("     Owner: (n/a)"));
        QVERIFY(!model.data(model.index(3), Qt::DecorationRole).isValid());
    }

    void feedingFlushesWhileTheLoopRunsAndOnceMoreAtTheEnd()
    {
        ReportListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setFeeding(true);
        QVERIFY(model.feeding());
        model.lines().appendPathLine("a");
        QTRY_COMPARE(model.rowCount(), 1);
        model.lines().appendPathLine("b");
        model.setFeeding(false);
        QVERIFY(!model.feeding());
        QCOMPARE(model.rowCount(), 2);
    }

    void clearReplaceAndTextChanges()
    {
        ReportListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        const uint32_t node = model.lines().appendPathLine("FS1\\VOL1:DATA");
        model.flush();

        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        model.lines().paths().setLongForm(node, "\\\\FS1\\VOL1\\Data");
        model.lines().showLongForm(0);
        model.textsChanged();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(model.data(model.index(0)).toString(), QStringLiteral("\\\\FS1\\VOL1\\Data"));

        ReportList built;
        built.shareTables(model.lines());
        built.appendTrusteeHeader(built.names().intern(".Admin.Corp"));
        built.appendTrusteeDetail(node, false, 0x41);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        model.replaceAll(std::move(built));
        QCOMPARE(reset.count(), 1);
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.data(model.index(1)).toString(), QStringLiteral("     FS1\\VOL1:DATA [RF]"));
        QCOMPARE(model.data(model.index(1), ReportListModel::KindCodeRole).toInt(), 0);

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
        model.lines().appendPathLine("x");
        model.lines().appendIrm(0);
        model.flush();
        model.lines().clear();
        model.lines().appendSetting(lkBase, "z");
        // Rows beyond the store are never read, even before the next flush.
        QVERIFY(!model.data(model.index(1)).isValid());
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        model.flush();
        QCOMPARE(reset.count(), 1);
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.data(model.index(0)).toString(), QStringLiteral("Base: z"));
    }

    void theListFindsAndShowsItsRowsByTheirNumberAlone()
    {
        ReportListModel model;
        constexpr int count = 300000;
        for (int i = 0; i < count; ++i)
            model.lines().appendPathLine("V:P" + std::to_string(i));
        model.flush();
        TResultList list;
        list.setModel(&model);
        list.setSelectionMode(QAbstractItemView::ExtendedSelection);
        list.resize(300, 200);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        const int h = list.rowHeight();
        const int shown = list.viewport()->height() / h;
        QCOMPARE(list.indexAt(QPoint(5, 3 * h + 1)).row(), 3);
        QVERIFY(!list.indexAt(QPoint(5, -1)).isValid());
        // A click and a shift-click select the rows between.
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(5, h / 2));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ShiftModifier, QPoint(5, 4 * h + h / 2));
        QCOMPARE(list.selectionModel()->selectedRows().size(), 5);
        // A far row brought to the top is found there.
        const QModelIndex far = model.index(250000);
        list.scrollTo(far, QAbstractItemView::PositionAtTop);
        QCOMPARE(list.visualRect(far).top(), 0);
        QCOMPARE(list.indexAt(QPoint(5, 1)).row(), 250000);
        // Page Down moves by the rows shown; End goes to the last row and shows it whole.
        list.setCurrentIndex(far);
        QTest::keyClick(&list, Qt::Key_PageDown);
        QCOMPARE(list.currentIndex().row(), 250000 + shown);
        QTest::keyClick(&list, Qt::Key_End);
        QCOMPARE(list.currentIndex().row(), count - 1);
        QVERIFY(list.viewport()->rect().contains(list.visualRect(list.currentIndex())));
        // Appended rows only move the end of the range.
        const int end = list.verticalScrollBar()->maximum();
        for (int i = 0; i < 10; ++i)
            model.lines().appendSeparator();
        model.flush();
        QCOMPARE(list.verticalScrollBar()->maximum(), end + 10);
    }
};

QTEST_MAIN(ReportListModelTest)
#include "ReportListModel_test.moc"
