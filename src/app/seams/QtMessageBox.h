#pragma once

#include <string>

/// The window program's message-box service for ShowMsg: a modal QMessageBox over the
/// active window with the icon of the message type (mtWarning a warning, mtError a stop
/// sign, mtInformation an information sign, mtConfirmation a question mark), the text,
/// and one OK button. Returns when the box closes.
void ShowQtMessageBox(int type, const std::string& text);
