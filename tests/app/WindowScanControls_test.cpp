// The scan's view of the window: what the status panel and the information page show,
// and when.

#include "app/WindowScanControls.h"
#include "app/models/InfoPageModel.h"
#include "app/widgets/TRadioGroup.h"
#include "app/widgets/TStatusBar.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

namespace {

struct Controls {
    TRadioGroup scope;
    TRadioGroup info;
    QCheckBox irm;
    QLineEdit pattern;
    TStatusBar statusBar { { 250, 50 } };
    InfoPageModel page;
    WindowScanControls controls { &scope, &info, &irm, &pattern, &statusBar, &page };
};

QString numbered(int i)
{
    return QStringLiteral(".User%1.Staff.Corp").arg(i);
}

QString pageText(const InfoPageModel& page)
{
    QStringList lines;
    for (int row = 0; row < page.rowCount(); ++row)
        lines << page.index(row).data().toString();
    return lines.join(QLatin1Char('\n'));
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
        c.page.setText(QStringLiteral("Grantwise\nline two"));
        c.controls.showStatus("VOL1:A");
        c.controls.appendInfoLine(".Admin.Corp");
        c.controls.appendInfoLine("ID: [00DE0001]");
        QCOMPARE(c.page.rowCount(), 2);
        c.controls.finishScan();
        QCOMPARE(c.controls.pendingLines(), size_t(0));
        QCOMPARE(pageText(c.page), QStringLiteral("Grantwise\nline two\n.Admin.Corp\nID: [00DE0001]"));
        QCOMPARE(c.statusBar.panelText(1), QStringLiteral("VOL1:A"));
    }

    void manyNamesShowWhileTheScanRunsInTheirOrderAtFourBytesALine()
    {
        Controls c;
        QStringList expected;
        constexpr int count = 30000;
        for (int i = 0; i < count; ++i) {
            c.controls.appendInfoLine(numbered(i % 100).toStdString());
            expected << numbered(i % 100);
        }
        // The names become rows while the loop runs, without the end of the scan.
        QTRY_COMPARE_WITH_TIMEOUT(c.page.rowCount(), count, 5000);
        QCOMPARE(pageText(c.page), expected.join(QLatin1Char('\n')));
        // A name met before costs its line's number only.
        const size_t before = c.page.memoryBytes();
        for (int i = 0; i < 100000; ++i)
            c.controls.appendInfoLine(numbered(i % 100).toStdString());
        QVERIFY(c.page.memoryBytes() - before <= 100000 * 5);

        // Lines of a next scan follow those of the first; flush shows them all at once.
        c.controls.appendInfoLine("last");
        c.controls.appendInfoLine("one");
        c.controls.flush();
        QCOMPARE(c.controls.pendingLines(), size_t(0));
        QCOMPARE(c.page.rowCount(), count + 100002);
        QVERIFY(pageText(c.page).endsWith(QStringLiteral("\nlast\none")));
    }
};

QTEST_MAIN(WindowScanControlsTest)
#include "WindowScanControls_test.moc"
