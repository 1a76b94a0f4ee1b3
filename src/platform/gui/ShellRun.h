#pragma once

// Running a command line or opening a document or address through the desktop: the
// stand-in for the shell's "open" verb. Programs are started detached; documents and
// addresses go to the desktop's handler for them (QDesktopServices).

#include <string>
#include <vector>

/// Show state "normal window" (the only one this program passes).
constexpr int SW_SHOWNORMAL = 1;

/// Result codes in the shell's convention: above 32 means success.
constexpr int shellSuccess = 42;
constexpr int shellFileNotFound = 2; ///< nothing to open under that name
constexpr int shellNoAssociation = 31; ///< the desktop had no handler, or the launch failed

/// The 15 built-in commands of the command interpreter, in order: CD COPY DEL DIR ECHO MD
/// PATH PROMPT REM REN RD SET TRUENAME TYPE VER.
const std::vector<std::string>& InternalCommands();

/// What ShellRun hands the desktop for a command line.
struct ShellCommand {
    std::string program; ///< program, document or address
    std::string parameters; ///< the rest of the command line
    std::string folder; ///< working folder: the program up to its last "\" or ":"
};

/// Splits a command line as ShellRun does: at the first blank (quotes are not honoured);
/// a head without "." that names an internal command (any letter case) becomes the
/// command interpreter from the "comspec" variable with "/C " + the whole command line
/// as parameters. Cannot fail.
ShellCommand PrepareShellCommand(const std::string& commandLine);

/// Opens the command line with the verb "open". An address with a scheme ("https:",
/// "file:", "mailto:") and an existing non-executable file go to the desktop's handler;
/// a program (an executable file, or a name found on PATH) is started detached with the
/// parameters split by the usual quoting rules, in the working folder when that is an
/// existing folder. Returns shellSuccess, or a code of 32 or below: shellFileNotFound
/// for an empty or unknown program, shellNoAssociation when the desktop or the start
/// failed. showState is accepted for the caller's sake; windows open as the desktop
/// decides.
int ShellRun(const std::string& commandLine, int showState);

/// ShellRun with SW_SHOWNORMAL.
int ShellOpen(const std::string& commandLine);
