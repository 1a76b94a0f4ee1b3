#include "platform/gui/ShellRun.h"
#include "support/TestPaths.h"

#include <QDesktopServices>
#include <QTest>

#include "UrlCatcher.h"
#include <QUrl>

#include <cstdlib>

class ShellRunTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup()
    {
        unsetenv("comspec");
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    }

    void internalCommandsGoToTheInterpreter()
    {
        QCOMPARE(InternalCommands().size(), size_t(15));
        QCOMPARE(InternalCommands().front(), std::string("CD"));
        QCOMPARE(InternalCommands().back(), std::string("VER"));

        setenv("comspec", "C:\\WINDOWS\\system32\\cmd.exe", 1);
        ShellCommand lower = PrepareShellCommand("dir C:\\");
        QCOMPARE(lower.program, std::string("C:\\WINDOWS\\system32\\cmd.exe"));
        QCOMPARE(lower.parameters, std::string("/C dir C:\\"));
        QCOMPARE(lower.folder, std::string("C:\\WINDOWS\\system32\\"));
        QCOMPARE(PrepareShellCommand("DIR C:\\").parameters, std::string("/C DIR C:\\"));
        QCOMPARE(PrepareShellCommand("Ver").parameters, std::string("/C Ver"));

        // With an extension the name is a program of its own.
        const ShellCommand verExe = PrepareShellCommand("ver.exe");
        QCOMPARE(verExe.program, std::string("ver.exe"));
        QCOMPARE(verExe.parameters, std::string());

        // Without comspec the interpreter's name is empty and nothing can be started.
        unsetenv("comspec");
        QCOMPARE(PrepareShellCommand("dir").program, std::string());
        QVERIFY(ShellRun("dir", SW_SHOWNORMAL) <= 32);
    }

    void programsDocumentsAndAddressesAreSplitAtTheFirstBlank()
    {
        const ShellCommand notepad = PrepareShellCommand("notepad.exe readme.txt");
        QCOMPARE(notepad.program, std::string("notepad.exe"));
        QCOMPARE(notepad.parameters, std::string("readme.txt"));
        QCOMPARE(notepad.folder, std::string());

        const ShellCommand web = PrepareShellCommand("https://example.org/grantwise");
        QCOMPARE(web.program, std::string("https://example.org/grantwise"));
        QCOMPARE(web.folder, std::string("https:"));

        // Quotes are not honoured: a blank in the program path cuts it.
        const ShellCommand blank = PrepareShellCommand("C:\\Program Files\\x.exe -a");
        QCOMPARE(blank.program, std::string("C:\\Program"));
        QCOMPARE(blank.parameters, std::string("Files\\x.exe -a"));
        QCOMPARE(blank.folder, std::string("C:\\"));
    }

    void addressesAndDocumentsOpenThroughTheDesktop()
    {
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");

        TempDir dir;
        const std::string document = dir.file("report.txt");
        QVERIFY(WriteFileBytes(document, "RIGHTS\r\n"));
        QVERIFY(ShellOpen("https://example.org/grantwise") > 32);
        QVERIFY(ShellOpen(QUrl::fromLocalFile(QString::fromStdString(document)).toString().toStdString()) > 32);
        // An existing document (not executable) opens with its handler.
        QVERIFY(ShellOpen(document) > 32);
        QCOMPARE(catcher.urls.size(), 3);
        QCOMPARE(catcher.urls[0], QUrl(QStringLiteral("https://example.org/grantwise")));
        QCOMPARE(catcher.urls[0].scheme(), QStringLiteral("https"));
        QVERIFY(catcher.urls[1].isLocalFile());
        QCOMPARE(catcher.urls[2].toLocalFile(), QString::fromStdString(document));
    }

    void programsStartDetachedAndUnknownOnesFail()
    {
        QVERIFY(ShellRun("/bin/true", SW_SHOWNORMAL) > 32);
        QVERIFY(ShellRun("true --ignored", SW_SHOWNORMAL) > 32); // found on PATH
        QCOMPARE(ShellRun("no-such-program-grantwise.exe", SW_SHOWNORMAL), shellFileNotFound);
        QCOMPARE(ShellRun("/no/such/folder/prog", SW_SHOWNORMAL), shellFileNotFound);
        QCOMPARE(ShellRun("", SW_SHOWNORMAL), shellFileNotFound);
    }
};

QTEST_MAIN(ShellRunTest)
#include "ShellRun_test.moc"
#include "moc_UrlCatcher.cpp"
