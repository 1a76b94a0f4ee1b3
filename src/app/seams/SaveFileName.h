#pragma once

#include "services/Services.h"

#include <QString>

#include <optional>
#include <string>

/// The standard save dialog, the window program's save-file-name service: a QFileDialog
/// over the active window with the filter, default suffix and proposed name of the
/// request, no overwrite prompt (an existing file is replaced silently). The chosen full
/// file name, or nullopt when the user cancelled.
std::optional<std::string> QtSaveFileName(const SaveFileRequest& request);

/// The standard open dialog, the window program's open-file-name service: a QFileDialog
/// over the active window for an existing file, with the request's filter. The chosen
/// full file name, or nullopt when the user cancelled.
std::optional<std::string> QtOpenFileName(const SaveFileRequest& request);

/// "Text Files|*.txt|All Files|*.*" in Qt's form: "Text Files (*.txt);;All Files (*.*)".
/// A trailing description without a pattern stands alone.
QString QtNameFilters(const QString& dialogFilter);
