#pragma once

#include <string>
#include <string_view>

/// Full path of the running program file (the stand-in for the Windows module file
/// name): the current context's programFilePath when it names one; else read from
/// /proc/self/exe; when that cannot be read, from the path Qt knows, else "grantwise".
std::string ProgramFilePath();

/// ForceExt of the running program's full path: its own folder and base name with
/// another extension ("ini", "txt").
std::string ExeFileWithExt(std::string_view ext);
