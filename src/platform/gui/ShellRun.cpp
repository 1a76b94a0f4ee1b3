#include "platform/gui/ShellRun.h"

#include "util/D_Util.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>

const std::vector<std::string>& InternalCommands()
{
    static const std::vector<std::string> commands { "CD", "COPY", "DEL", "DIR", "ECHO", "MD", "PATH", "PROMPT", "REM",
        "REN", "RD", "SET", "TRUENAME", "TYPE", "VER" };
    return commands;
}

ShellCommand PrepareShellCommand(const std::string& commandLine)
{
    ShellCommand command;
    SplitAt(commandLine, " ", command.program, command.parameters);
    if (command.program.find('.') == std::string::npos && TextInArray(command.program, InternalCommands(), false)) {
        command.parameters = "/C " + commandLine;
        command.program = GetEnvVar("comspec");
    }
    const size_t cut = command.program.find_last_of("\\:");
    command.folder = cut == std::string::npos ? std::string() : command.program.substr(0, cut + 1);
    return command;
}

namespace {

// A URL scheme of two or more letters before the first ":" ("https:", "file:"); a single
// letter is a drive ("C:\...").
bool hasUrlScheme(const QString& text)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return scheme.match(text).hasMatch();
}

int openUrl(const QUrl& url)
{
    return url.isValid() && QDesktopServices::openUrl(url) ? shellSuccess : shellNoAssociation;
}

} // namespace

int ShellRun(const std::string& commandLine, int showState)
{
    (void)showState;
    const ShellCommand command = PrepareShellCommand(commandLine);
    if (command.program.empty())
        return shellFileNotFound;

    const QString program = QString::fromStdString(command.program);
    const QFileInfo file(program);
    if (file.isFile() && !file.isExecutable())
        return openUrl(QUrl::fromLocalFile(file.absoluteFilePath()));
    if (!file.exists() && hasUrlScheme(program))
        return openUrl(QUrl(program));

    QString executable;
    if (file.isFile())
        executable = file.absoluteFilePath();
    else if (!program.contains(QLatin1Char('/')))
        executable = QStandardPaths::findExecutable(program);
    if (executable.isEmpty())
        return shellFileNotFound;

    const QString folder = QString::fromStdString(command.folder);
    const QString workingFolder = !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
    const QStringList arguments = QProcess::splitCommand(QString::fromStdString(command.parameters));
    return QProcess::startDetached(executable, arguments, workingFolder) ? shellSuccess : shellNoAssociation;
}

int ShellOpen(const std::string& commandLine)
{
    return ShellRun(commandLine, SW_SHOWNORMAL);
}
