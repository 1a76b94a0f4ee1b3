#pragma once

#include <string>
#include <string_view>

/// The outcome of writing a save form to a file.
struct ReportFileResult {
    bool ok = false;
    std::string error; ///< why it failed, as the system says it; empty on success
};

/// Writes the bytes of a save form to fileName (UTF-8 path), replacing an existing file
/// without a question. The bytes go to a temporary file beside the target that replaces
/// it only when everything was written (QSaveFile), so a failed write never leaves a
/// half-written file in place of the old one: on failure the old file, if any, stays
/// as it was and nothing new is left behind. Fails when the folder cannot be written,
/// a folder stands where the file should be, the parent is not a folder, or the disk
/// is full. A device, pipe or socket standing at fileName (/dev/null, a FIFO) is not
/// replaced but written to directly; what it receives is then whatever the write got
/// through.
ReportFileResult WriteReportFile(const std::string& fileName, std::string_view bytes);

/// WriteReportFile for a long write in the window: the file is written on a worker
/// thread while this thread lets pending messages through every few milliseconds, so
/// the window keeps repainting and answering input during the write and the final
/// flush to disk. bytes must stay unchanged until it returns. When letting messages
/// through throws (OperationCancelled: the window is closing), the write already under
/// way is waited for and the exception then passes on.
ReportFileResult WriteReportFileResponsive(const std::string& fileName, std::string_view bytes);

/// The window's message for a file that cannot be written: "Cannot create file %s"
/// with the file name.
std::string CannotCreateFileText(const std::string& fileName);

/// The command line's message for an output file that cannot be written:
/// 'grantwise-report: cannot write FILE: REASON' (REASON omitted when empty).
std::string ReportWriteErrorText(const std::string& fileName, const std::string& reason);
