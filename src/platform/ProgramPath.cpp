#include "platform/ProgramPath.h"

#include "util/D_Util.h"

#include <QCoreApplication>

#include <filesystem>
#include <system_error>

namespace {
std::string& overridePath()
{
    static std::string path;
    return path;
}
} // namespace

std::string ProgramFilePath()
{
    if (!overridePath().empty())
        return overridePath();
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec && !exe.empty())
        return exe.string();
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath().toStdString();
    return "grantwise";
}

void SetProgramFilePath(const std::string& path)
{
    overridePath() = path;
}

std::string ExeFileWithExt(std::string_view ext)
{
    return ForceExt(ProgramFilePath(), ext);
}
