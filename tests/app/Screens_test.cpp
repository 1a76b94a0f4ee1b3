// Renders every page of the window, on a small network with a scan done, to PNG files
// for a look by eye (GRANTWISE_SCREENSHOTS names the folder; without it the test only
// checks that each page renders at the window's size).

#include "AppTestEnv.h"
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
        QVERIFY(WriteFileBytes(env.home().file("grantwise.txt"), ReadFileBytes(GRANTWISE_TEST_DATA "/../../data/grantwise.txt")));
        TMainForm form(env.context());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        const QModelIndex plans = FolderIndex(*form.folderModel(), "\\\\FS1\\VOL1\\R&D\\Plans 2002");
        QVERIFY(plans.isValid());
        form.ShellTreeView1->selectIndex(FolderIndex(*form.folderModel(), "\\\\FS1\\VOL1\\R&D"));
        form.ShellTreeView1DblClick();
        form.ShellTreeView1->expand(plans.parent());
        form.ShellTreeView1->selectIndex(FolderIndex(*form.folderModel(), "\\\\FS1\\VOL1\\Public"));
        form.ShellTreeView1DblClick();
        form.ShellTreeView1->selectIndex(plans);
        form.ShellTreeView1Click();
        form.RadioGroupInfo->click(2);
        form.BitBtnScanDirsClick();

        const QString folder = qEnvironmentVariable("GRANTWISE_SCREENSHOTS");
        auto shoot = [&](const QString& name) {
            QCoreApplication::processEvents();
            const QPixmap shot = form.grab();
            QCOMPARE(shot.size(), form.size());
            if (!folder.isEmpty())
                QVERIFY(shot.save(QStringLiteral("%1/%2.png").arg(folder, name)));
        };
        form.PageControl1->setCurrentWidget(form.TabSheetInfo);
        shoot(QStringLiteral("info"));
        form.PageControl1->setCurrentWidget(form.TabSheetSelect);
        shoot(QStringLiteral("select"));
        form.PageControl1->setCurrentWidget(form.TabSheetAction);
        shoot(QStringLiteral("by-path"));
        form.PageControl2->setCurrentWidget(form.TabSheetByObj);
        shoot(QStringLiteral("by-trustee"));
        QVERIFY(env.services().texts().empty());
    }
};

QTEST_MAIN(Screens)
#include "Screens_test.moc"
