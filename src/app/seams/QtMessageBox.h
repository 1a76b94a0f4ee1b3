#pragma once

#include <string>

/// Shows a modal QMessageBox for ShowMsg: the icon of the message type (mtWarning a
/// warning, mtError a stop sign, mtInformation an information sign, mtConfirmation a
/// question mark), the text, and one OK button. Returns when the box closes.
void ShowQtMessageBox(int type, const std::string& text);

/// Makes ShowMsg use ShowQtMessageBox (the window program does this once, in main;
/// window tests keep their recorder instead).
void InstallQtMessageBoxHandler();
