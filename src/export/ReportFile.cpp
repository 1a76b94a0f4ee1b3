#include "export/ReportFile.h"

#include "util/D_Util.h"
#include "util/PendingMessages.h"

#include <QSaveFile>
#include <QString>

#include <chrono>
#include <future>

ReportFileResult WriteReportFile(const std::string& fileName, std::string_view bytes)
{
    ReportFileResult result;
    QSaveFile file(QString::fromStdString(fileName));
    if (!file.open(QIODevice::WriteOnly)) {
        result.error = file.errorString().toStdString();
        return result;
    }
    // QIODevice::write takes at most qint64 bytes at once; a std::string fits.
    const qint64 size = static_cast<qint64>(bytes.size());
    if (file.write(bytes.data(), size) != size) {
        result.error = file.errorString().toStdString();
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
