#include "platform/ProgramPath.h"

#include "services/Services.h"
#include "util/D_Util.h"

#include <QCoreApplication>

#include <filesystem>
#include <system_error>

std::string ProgramFilePath()
{
    if (const std::string& given = CurrentServices().programFilePath; !given.empty())
        return given;
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec && !exe.empty())
        return exe.string();
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath().toStdString();
    return "grantwise";
}

std::string ExeFileWithExt(std::string_view ext)
{
    return ForceExt(ProgramFilePath(), ext);
}
