#include "app/seams/PendingMessagesPump.h"
#include "app/seams/QtMessageBox.h"
#include "app/seams/SaveFileName.h"
#include "app/widgets/TSaveDialog.h"
#include "services/ErrorBox.h"
#include "services/PendingMessages.h"
#include "support/TestServices.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class SeamsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pumpRunsTheLoopOnlyWhenItsIntervalHasPassed()
    {
        {
            // An interval that cannot pass during the test: no call runs the loop.
            PendingMessagesPump pump(nullptr, 3'600'000);
            QObject context; // drops the timer when the block ends
            bool fired = false;
            QTimer::singleShot(0, &context, [&] { fired = true; });
            for (int i = 0; i < 100000; ++i)
                pump.pump();
            QVERIFY(!fired);
            QCOMPARE(pump.loopRuns(), 0);
        }
        {
            // Interval 0: every call runs the loop, so posted events are delivered.
            PendingMessagesPump pump(nullptr, 0);
            QObject context;
            bool fired = false;
            QTimer::singleShot(0, &context, [&] { fired = true; });
            pump.pump();
            QVERIFY(fired);
            QCOMPARE(pump.loopRuns(), 1);
        }
    }

    void pumpThrowsOperationCancelledWhenAskedToStop()
    {
        bool stop = false;
        PendingMessagesPump pump([&] { return stop; }, 3'600'000);
        pump.pump(); // not asked: returns normally
        stop = true;
        bool cancelled = false;
        try {
            pump.pump();
        } catch (const OperationCancelled&) {
            cancelled = true;
        }
        QVERIFY(cancelled);
    }

    void messageBoxShowsTheTypesIconAndOneOkButton_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("icon");
        QTest::newRow("error") << int(mtError) << int(QMessageBox::Critical);
        QTest::newRow("warning") << int(mtWarning) << int(QMessageBox::Warning);
        QTest::newRow("information") << int(mtInformation) << int(QMessageBox::Information);
        QTest::newRow("confirmation") << int(mtConfirmation) << int(QMessageBox::Question);
    }

    void messageBoxShowsTheTypesIconAndOneOkButton()
    {
        QFETCH(int, type);
        QFETCH(int, icon);
        Services services;
        services.messageBox = &ShowQtMessageBox;
        const ServicesScope scope(services);
        QString seenText;
        int seenIcon = -1;
        int buttons = -1;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            seenText = box->text();
            seenIcon = box->icon();
            buttons = static_cast<int>(box->buttons().size());
            box->button(QMessageBox::Ok)->click();
        });
        ShowMsg(type, "Error 8801: InitNetWare");
        QCOMPARE(seenText, QStringLiteral("Error 8801: InitNetWare"));
        QCOMPARE(seenIcon, icon);
        QCOMPARE(buttons, 1);
    }

    void saveDialogFunctionIsReplaceable()
    {
        QCOMPARE(QtNameFilters(QStringLiteral("BAT Files|*.bat|All Files|*.*")),
            QStringLiteral("BAT Files (*.bat);;All Files (*.*)"));
        QCOMPARE(QtNameFilters(QStringLiteral("Text Files|*.txt;*.log")), QStringLiteral("Text Files (*.txt *.log)"));

        TestServices services;
        SaveFileRequest seen;
        services.saveFileName = [&](const SaveFileRequest& request) {
            seen = request;
            return std::optional<std::string>("/tmp/chosen.bat");
        };
        TSaveDialog dialog;
        QCOMPARE(dialog.fileName, QStringLiteral("Trustees.txt"));
        QCOMPARE(dialog.defaultExt, QStringLiteral("txt"));
        QCOMPARE(dialog.filter, QStringLiteral("Text Files|*.txt|All Files|*.*"));
        dialog.fileName = QStringLiteral("Trustees.bat");
        dialog.defaultExt = QStringLiteral("bat");
        QVERIFY(dialog.execute(services.context()));
        QCOMPARE(dialog.fileName, QStringLiteral("/tmp/chosen.bat"));
        QCOMPARE(seen.fileName, std::string("Trustees.bat"));
        QCOMPARE(seen.defaultExt, std::string("bat"));

        services.saveFileName = [](const SaveFileRequest&) { return std::optional<std::string>(); };
        QVERIFY(!dialog.execute(services.context()));
        QCOMPARE(dialog.fileName, QStringLiteral("/tmp/chosen.bat"));
    }

    void defaultSaveDialogProposesNameFilterAndSuffix()
    {
        QFileDialog::Options options;
        QString suffix;
        QStringList filters;
        QString selectedFilter;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            options = dialog->options();
            suffix = dialog->defaultSuffix();
            filters = dialog->nameFilters();
            selectedFilter = dialog->selectedNameFilter();
            dialog->reject();
        });
        const std::optional<std::string> chosen
            = QtSaveFileName({ "Trustees.xml", "xml", "XML Files|*.xml|All Files|*.*" });
        QVERIFY(!chosen);
        QCOMPARE(suffix, QStringLiteral("xml"));
        QCOMPARE(filters, QStringList({ QStringLiteral("XML Files (*.xml)"), QStringLiteral("All Files (*.*)") }));
        QCOMPARE(selectedFilter, QStringLiteral("XML Files (*.xml)"));
        QVERIFY(options.testFlag(QFileDialog::DontConfirmOverwrite));
    }
};

QTEST_MAIN(SeamsTest)
#include "Seams_test.moc"
