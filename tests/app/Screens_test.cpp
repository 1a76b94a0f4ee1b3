// Renders every page of the window to PNG files for a look by eye (GRANTWISE_SCREENSHOTS
// names the folder; without it the test only checks that each page renders).

#include "app/TMainForm.h"
#include "support/MessageRecorder.h"

#include <QTabWidget>
#include <QTest>

class Screens : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pagesRender()
    {
        MessageRecorder messages;
        TMainForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QString folder = qEnvironmentVariable("GRANTWISE_SCREENSHOTS");
        for (int i = 0; i < form.PageControl1->count(); ++i) {
            form.PageControl1->setCurrentIndex(i);
            QCoreApplication::processEvents();
            const QPixmap shot = form.grab();
            QCOMPARE(shot.size(), form.size());
            if (!folder.isEmpty())
                QVERIFY(shot.save(QStringLiteral("%1/page%2.png").arg(folder).arg(i)));
        }
    }
};

QTEST_MAIN(Screens)
#include "Screens_test.moc"
