#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

/// The outcome of writing a save form to a file.
struct ReportFileResult {
    bool ok = false;
    std::string error; ///< why it failed, as the system says it; empty on success
};

/// Writes the bytes of a save form to fileName (UTF-8 path); what happens depends on what
/// stands under the name (a symbolic link is followed):
/// - nothing yet, or a regular file: the file is replaced without a question. The bytes
///   go to a temporary file beside the target that replaces it only when everything was
///   written (QSaveFile), so a failed write never leaves a half-written file in place of
///   the old one: on failure the old file, if any, stays as it was and nothing new is
///   left behind;
/// - a FIFO or a character device (a pipe, a terminal, /dev/stdout): the bytes are
///   written into it as they are, nothing is created or replaced; opening a FIFO waits
///   until it has a reader;
/// - anything else (a socket, a block device): refused, nothing is touched.
/// Fails when the folder cannot be written, a folder stands where the file should be,
/// the parent is not a folder, the disk is full, or the FIFO's reader goes away
/// ("Broken pipe"; the process is not ended by SIGPIPE).
ReportFileResult WriteReportFile(const std::string& fileName, std::string_view bytes);
/// WriteReportFile for bytes held in parts: the parts one after another, as one file.
ReportFileResult WriteReportFile(const std::string& fileName, const std::vector<std::string>& parts);

/// Gives the bytes of an output a piece at a time: each call replaces `piece` with the
/// next piece and returns true, or returns false when there is none left.
using ReportPieces = std::function<bool(std::string& piece)>;

/// WriteReportFile for an output made a piece at a time, so that it is never held whole
/// in memory: the same rules, and the file is replaced only once every piece was written.
/// A piece that cannot be made (`next` throws) leaves a regular file as it was; the
/// exception passes on.
ReportFileResult WriteReportFilePieces(const std::string& fileName, const ReportPieces& next);

/// WriteReportFile for a long write in the window: the file is written on a worker
/// thread while this thread lets pending messages through every few milliseconds, so
/// the window keeps repainting and answering input during the write and the final
/// flush to disk; the worker also gives the bytes' memory back (pass them with
/// std::move). When letting messages
/// through throws (OperationCancelled: the window is closing or the user cancelled), the
/// write under way is abandoned at its next piece and waited for: a regular file is then
/// left as it was (nothing replaced, nothing new left behind), and the exception passes on.
ReportFileResult WriteReportFileResponsive(const std::string& fileName, std::string bytes);
/// WriteReportFileResponsive for bytes held in parts, written one after another.
ReportFileResult WriteReportFileResponsive(const std::string& fileName, std::vector<std::string> parts);

/// The window's message for a file that cannot be written: "Cannot create file %s"
/// with the file name.
std::string CannotCreateFileText(const std::string& fileName);

/// The command line's message for an output file that cannot be written:
/// 'grantwise-report: cannot write FILE: REASON' (REASON omitted when empty).
std::string ReportWriteErrorText(const std::string& fileName, const std::string& reason);
