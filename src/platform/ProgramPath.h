#pragma once

#include <string>
#include <string_view>

/// Full path of the running program file (the stand-in for the Windows module file
/// name). Read from /proc/self/exe; when that cannot be read, from the path Qt knows,
/// else "grantwise". A test may override it with SetProgramFilePath.
std::string ProgramFilePath();

/// Overrides the program path (an empty path restores the real one). For tests.
void SetProgramFilePath(const std::string& path);

/// ForceExt of the running program's full path: its own folder and base name with
/// another extension ("ini", "txt").
std::string ExeFileWithExt(std::string_view ext);
