#pragma once

#include <QString>

#include <functional>
#include <optional>

class QWidget;

/// What a save dialog is asked: the proposed file name, the default extension (added to a
/// name typed without one) and the filter in the "Description|*.ext|Description|*.*" form
/// (the first choice is selected).
struct SaveFileRequest {
    QString fileName;
    QString defaultExt;
    QString filter;
    QWidget* parent = nullptr;
};

/// Chooses the file to save to: the chosen full file name, or nullopt when the user
/// cancelled.
using SaveFileNameFunction = std::function<std::optional<QString>(const SaveFileRequest&)>;

/// Asks through the installed function (by default QtSaveFileName).
std::optional<QString> AskSaveFileName(const SaveFileRequest& request);

/// Installs a function (an empty one restores QtSaveFileName) and returns the previous one.
/// Window tests install one that answers without a dialog.
SaveFileNameFunction SetSaveFileNameFunction(SaveFileNameFunction function);

/// The standard save dialog: a QFileDialog with the filter, default suffix and proposed
/// name of the request, no overwrite prompt (an existing file is replaced silently).
std::optional<QString> QtSaveFileName(const SaveFileRequest& request);

/// "Text Files|*.txt|All Files|*.*" in Qt's form: "Text Files (*.txt);;All Files (*.*)".
/// A trailing description without a pattern stands alone.
QString QtNameFilters(const QString& dialogFilter);
