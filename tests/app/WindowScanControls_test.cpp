// The scan's view of the window: what the status panel and the information page show,
// and when.

#include "app/WindowScanControls.h"
#include "app/widgets/TRadioGroup.h"
#include "app/widgets/TStatusBar.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

namespace {

struct Controls {
    TRadioGroup scope;
    TRadioGroup info;
    QCheckBox irm;
    QLineEdit pattern;
    TStatusBar statusBar { { 250, 50 } };
    QPlainTextEdit page;
    WindowScanControls controls { &scope, &info, &irm, &pattern, &statusBar, &page };
};

QString numbered(int i)
{
    return QStringLiteral(".User%1.Staff.Corp").arg(i);
}

} // namespace

class WindowScanControlsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void statusPanelShowsTheLatestPathWhenTheLoopRuns()
    {
        Controls c;
        c.controls.showStatus("VOL1:A");
        c.controls.showStatus("VOL1:A\\B.TXT");
        QCOMPARE(c.statusBar.panelText(1), QString());
        QCoreApplication::processEvents();
        QCOMPARE(c.statusBar.panelText(1), QStringLiteral("VOL1:A\\B.TXT"));
        // flush shows it at once; a text set afterwards is not overwritten later.
        c.controls.showStatus("VOL1:C");
        c.controls.flush();
        QCOMPARE(c.statusBar.panelText(1), QStringLiteral("VOL1:C"));
        c.statusBar.setPanelText(1, QStringLiteral("after the scan"));
        QCoreApplication::processEvents();
        QCOMPARE(c.statusBar.panelText(1), QStringLiteral("after the scan"));
    }

    void fewNamesArriveWithTheEndOfTheScan()
    {
        Controls c;
        c.controls.showStatus("VOL1:A");
        c.controls.appendInfoLine(".Admin.Corp");
        c.controls.appendInfoLine("ID: [00DE0001]");
        QCOMPARE(c.page.toPlainText(), QString());
        c.controls.finishScan();
        QCOMPARE(c.controls.pendingLines(), 0);
        QCOMPARE(c.page.toPlainText(), QStringLiteral(".Admin.Corp\nID: [00DE0001]"));
        QCOMPARE(c.statusBar.panelText(1), QStringLiteral("VOL1:A"));
    }

    void manyNamesArriveInSlicesInTheirOrder()
    {
        Controls c;
        QStringList expected;
        constexpr int count = 30000;
        for (int i = 0; i < count; ++i) {
            c.controls.appendInfoLine(numbered(i).toStdString());
            expected << numbered(i);
        }
        c.controls.finishScan();
        // One slice now (at least its first chunk), the rest while the loop runs.
        QVERIFY(c.controls.pendingLines() < count);
        QCOMPARE(c.page.document()->blockCount() + c.controls.pendingLines(), qsizetype(count));
        QTRY_COMPARE_WITH_TIMEOUT(c.controls.pendingLines(), 0, 60000);
        QCOMPARE(c.page.toPlainText(), expected.join(QLatin1Char('\n')));

        // Lines of a next scan follow those of the first; flush adds them all at once.
        c.controls.appendInfoLine("last");
        c.controls.appendInfoLine("one");
        c.controls.flush();
        QCOMPARE(c.controls.pendingLines(), 0);
        QCOMPARE(c.page.document()->blockCount(), count + 2);
        QVERIFY(c.page.toPlainText().endsWith(QStringLiteral("\nlast\none")));
    }
};

QTEST_MAIN(WindowScanControlsTest)
#include "WindowScanControls_test.moc"
