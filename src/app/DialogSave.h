#pragma once

// The save of a result dialog (who has access, a rights map, a compare): the user chooses
// the file, the bytes are made and written as one long operation of the window, and a
// file that cannot be written is said.

#include "services/Services.h"

#include <functional>
#include <string>

/// Runs work as a long operation of the window; false when the window is closing.
using OperationGuard = std::function<bool(const std::function<void()>&)>;

/// Asks the current context's save-file-name service for a file (request), then makes
/// the bytes (build) and writes them (replacing an old file only once they are whole)
/// under guard, with the wait cursor. Says "Cannot create file ..." when the write fails.
/// False when the window is closing (the dialog closes with it); true otherwise, also when
/// the user chose no file.
bool SaveDialogResult(
    const SaveFileRequest& request, const OperationGuard& guard, const std::function<std::string()>& build);
