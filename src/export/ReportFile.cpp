#include "export/ReportFile.h"

#include "util/D_Util.h"
#include "util/PendingMessages.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QString>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <future>

namespace {

// Opens file unbuffered and writes all of bytes; false with result.error set when either
// fails. Unbuffered: QSaveFile::commit() does not notice when flushing its write buffer
// fails (Qt 6.4 records write errors only for writes that reach writeData), so a
// buffered write to a full disk "succeeded" and commit renamed an empty or cut-off file
// over the old one. Unbuffered, every write reports its own failure.
bool openAndWrite(QFileDevice& file, std::string_view bytes, ReportFileResult& result)
{
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        result.error = file.errorString().toStdString();
        return false;
    }
    // QIODevice::write takes at most qint64 bytes at once; a std::string fits.
    const qint64 size = static_cast<qint64>(bytes.size());
    errno = 0;
    if (file.write(bytes.data(), size) != size) {
        // QSaveFile gives "Unknown error" for a failed write; the system's reason
        // ("No space left on device", "File too large") is what the user needs.
        const int reason = errno;
        result.error = reason != 0 ? std::strerror(reason) : file.errorString().toStdString();
        return false;
    }
    return true;
}

} // namespace

ReportFileResult WriteReportFile(const std::string& fileName, std::string_view bytes)
{
    ReportFileResult result;
    const QString name = QString::fromStdString(fileName);
    // A device, pipe or socket at the target's place (/dev/null, a terminal, a FIFO a
    // script reads) is written to as it is: QSaveFile would rename its new regular file
    // over it and so destroy it (as root, even /dev/null).
    if (const QFileInfo target(name); target.exists() && !target.isFile() && !target.isDir()) {
        QFile device(name);
        result.ok = openAndWrite(device, bytes, result);
        return result;
    }
    QSaveFile file(name);
    if (!openAndWrite(file, bytes, result)) {
        file.cancelWriting();
        return result;
    }
    if (!file.commit()) {
        result.error = file.errorString().toStdString();
        return result;
    }
    result.ok = true;
    return result;
}

ReportFileResult WriteReportFileResponsive(const std::string& fileName, std::string_view bytes)
{
    std::future<ReportFileResult> written
        = std::async(std::launch::async, [&fileName, bytes] { return WriteReportFile(fileName, bytes); });
    try {
        while (written.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
            ProcessPendingMessages();
    } catch (...) {
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
