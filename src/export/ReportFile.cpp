#include "export/ReportFile.h"

#include "services/PendingMessages.h"
#include "util/D_Util.h"

#include <QSaveFile>
#include <QString>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <functional>
#include <future>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// The bytes of an output a piece at a time: sets `piece` to the next one (valid until the
// next call); false at the end.
using PieceSource = std::function<bool(std::string_view& piece)>;

PieceSource wholeBytes(std::string_view bytes)
{
    return [bytes, given = false](std::string_view& piece) mutable {
        piece = bytes;
        return !std::exchange(given, true);
    };
}

PieceSource partBytes(const std::vector<std::string>& parts)
{
    return [&parts, next = size_t(0)](std::string_view& piece) mutable {
        if (next == parts.size())
            return false;
        piece = parts[next++];
        return true;
    };
}

bool isStream(mode_t mode) noexcept
{
    return S_ISFIFO(mode) || S_ISCHR(mode);
}

// Writes bytes into a FIFO or a character device that exists already (a pipe, a
// terminal, /dev/stdout): nothing is created, renamed or truncated. Opening a FIFO waits
// for its reader, as any writer of a FIFO does. A reader that goes away gives the error
// "Broken pipe" instead of ending the process with SIGPIPE.
ReportFileResult writeIntoStream(const std::string& fileName, const PieceSource& source)
{
    ReportFileResult result;
    const int fd = ::open(fileName.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        result.error = std::strerror(errno);
        return result;
    }
    // What was opened is what was looked at (the name may have been replaced in between).
    struct stat opened { };
    if (::fstat(fd, &opened) != 0 || !isStream(opened.st_mode)) {
        ::close(fd);
        result.error = "not a FIFO or a character device any more";
        return result;
    }
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    sigset_t pending;
    sigpending(&pending);
    const bool pendingBefore = sigismember(&pending, SIGPIPE) == 1;
    sigset_t previousMask;
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &previousMask);
    int failure = 0;
    try {
        std::string_view bytes;
        while (failure == 0 && source(bytes)) {
            for (size_t done = 0; done < bytes.size();) {
                const size_t chunk = std::min<size_t>(bytes.size() - done, size_t(1) << 30);
                const ssize_t written = ::write(fd, bytes.data() + done, chunk);
                if (written < 0 && errno == EINTR)
                    continue;
                if (written <= 0) {
                    failure = written < 0 ? errno : EIO;
                    break;
                }
                done += static_cast<size_t>(written);
            }
        }
    } catch (...) {
        // The bytes could not be made: what was written stays, the stream is let go.
        pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
        ::close(fd);
        throw;
    }
    if (failure == EPIPE && !pendingBefore) {
        // The write raised SIGPIPE for this thread while it was blocked: take it back.
        const timespec now {};
        sigtimedwait(&pipeSignal, nullptr, &now);
    }
    pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
    if (::close(fd) != 0 && failure == 0 && errno != EINTR)
        failure = errno;
    if (failure != 0) {
        result.error = std::strerror(failure);
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace

namespace {

ReportFileResult writeReportFile(
    const std::string& fileName, const PieceSource& source, const std::atomic<bool>* abandon)
{
    ReportFileResult result;
    // What stands under the name decides how it is written (a link is followed).
    if (struct stat target {}; ::stat(fileName.c_str(), &target) == 0) {
        if (isStream(target.st_mode))
            return writeIntoStream(fileName, source);
        if (!S_ISREG(target.st_mode) && !S_ISDIR(target.st_mode)) {
            // A socket or a block device is never replaced or written into. (A folder
            // is refused by the atomic write below, with the system's reason.)
            result.error = "not a regular file, a FIFO or a character device";
            return result;
        }
    }
    QSaveFile file(QString::fromStdString(fileName));
    // Unbuffered: QSaveFile::commit() does not notice when flushing its write buffer
    // fails (Qt 6.4 records write errors only for writes that reach writeData), so a
    // buffered write to a full disk "succeeded" and commit renamed an empty or cut-off
    // file over the old one. Unbuffered, every write reports its own failure.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        result.error = file.errorString().toStdString();
        return result;
    }
    // In pieces, so that a write the window abandons (its save was cancelled) stops soon;
    // an abandoned write is thrown away before the commit, so the old file stays.
    // (A piece that cannot be made throws; the file is then thrown away with `file`.)
    constexpr size_t step = size_t(8) << 20;
    std::string_view bytes;
    while (source(bytes)) {
        for (size_t done = 0; done < bytes.size() || done == 0; done += step) {
            if (abandon && abandon->load()) {
                file.cancelWriting();
                result.error = "cancelled";
                return result;
            }
            const auto size = static_cast<qint64>(std::min(step, bytes.size() - done));
            errno = 0;
            if (size > 0 && file.write(bytes.data() + done, size) != size) {
                // QSaveFile gives "Unknown error" for a failed write; the system's reason
                // ("No space left on device", "File too large") is what the user needs.
                const int reason = errno;
                result.error = reason != 0 ? std::strerror(reason) : file.errorString().toStdString();
                file.cancelWriting();
                return result;
            }
            if (bytes.empty())
                break;
        }
    }
    if (abandon && abandon->load()) {
        file.cancelWriting();
        result.error = "cancelled";
        return result;
    }
    if (!file.commit()) {
        result.error = file.errorString().toStdString();
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace

ReportFileResult WriteReportFile(const std::string& fileName, std::string_view bytes)
{
    return writeReportFile(fileName, wholeBytes(bytes), nullptr);
}

ReportFileResult WriteReportFile(const std::string& fileName, const std::vector<std::string>& parts)
{
    return writeReportFile(fileName, partBytes(parts), nullptr);
}

ReportFileResult WriteReportFilePieces(const std::string& fileName, const ReportPieces& next)
{
    std::string piece;
    return writeReportFile(
        fileName,
        [&](std::string_view& bytes) {
            if (!next(piece))
                return false;
            bytes = piece;
            return true;
        },
        nullptr);
}

ReportFileResult WriteReportFileResponsive(const std::string& fileName, std::string bytes)
{
    std::vector<std::string> parts;
    parts.push_back(std::move(bytes));
    return WriteReportFileResponsive(fileName, std::move(parts));
}

ReportFileResult WriteReportFileResponsive(const std::string& fileName, std::vector<std::string> parts)
{
    std::atomic<bool> abandon { false };
    std::future<ReportFileResult> written = std::async(std::launch::async, [&fileName, &parts, &abandon] {
        ReportFileResult result = writeReportFile(fileName, partBytes(parts), &abandon);
        // Gigabytes take a quarter of a second to give back: here, while the caller
        // still lets messages through, not afterwards on its thread.
        std::vector<std::string>().swap(parts);
        return result;
    });
    try {
        while (written.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
            ProcessPendingMessages();
    } catch (...) {
        abandon = true;
        written.wait();
        throw;
    }
    return written.get();
}

std::string CannotCreateFileText(const std::string& fileName)
{
    return Format("Cannot create file %s", fileName.c_str());
}

std::string ReportWriteErrorText(const std::string& fileName, const std::string& reason)
{
    std::string text = "grantwise-report: cannot write " + fileName;
    if (!reason.empty())
        text += ": " + reason;
    return text;
}
