// Renders every page of the window, on a small network with a scan done, to PNG files
// for a look by eye (GRANTWISE_SCREENSHOTS names the folder; without it the test only
// checks that each page renders at the window's size).

#include "AppTestEnv.h"
#include "MainFormUi.h"
#include "app/TMainForm.h"
#include "app/widgets/TRadioGroup.h"
#include "app/widgets/TShellTreeView.h"

#include <QTabWidget>
#include <QTest>

class Screens : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pagesRender()
    {
        AppTestEnv env;
        QVERIFY(WriteFileBytes(
            env.home().file("grantwise.txt"), ReadFileBytes(GRANTWISE_TEST_DATA "/../../data/grantwise.txt")));
        TMainForm form(env.context());
        const MainFormUi ui(form);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        const QModelIndex plans = FolderIndex(*ui.folders(), "\\\\FS1\\VOL1\\R&D\\Plans 2002");
        QVERIFY(plans.isValid());
        ui.ShellTreeView1->selectIndex(FolderIndex(*ui.folders(), "\\\\FS1\\VOL1\\R&D"));
        ui.doubleClickFolder();
        ui.ShellTreeView1->expand(plans.parent());
        ui.ShellTreeView1->selectIndex(FolderIndex(*ui.folders(), "\\\\FS1\\VOL1\\Public"));
        ui.doubleClickFolder();
        ui.ShellTreeView1->selectIndex(plans);
        ui.clickFolder();
        ui.RadioGroupInfo->click(2);
        ui.BitBtnScanDirs->click();

        const QString folder = qEnvironmentVariable("GRANTWISE_SCREENSHOTS");
        auto shoot = [&](const QString& name) {
            QCoreApplication::processEvents();
            const QPixmap shot = form.grab();
            QCOMPARE(shot.size(), form.size());
            if (!folder.isEmpty())
                QVERIFY(shot.save(QStringLiteral("%1/%2.png").arg(folder, name)));
        };
        ui.PageControl1->setCurrentWidget(ui.TabSheetInfo);
        shoot(QStringLiteral("info"));
        ui.PageControl1->setCurrentWidget(ui.TabSheetSelect);
        shoot(QStringLiteral("select"));
        ui.PageControl1->setCurrentWidget(ui.TabSheetAction);
        shoot(QStringLiteral("by-path"));
        ui.PageControl2->setCurrentWidget(ui.TabSheetByObj);
        shoot(QStringLiteral("by-trustee"));
        QVERIFY(env.services().texts().empty());
    }
};

QTEST_MAIN(Screens)
#include "Screens_test.moc"
