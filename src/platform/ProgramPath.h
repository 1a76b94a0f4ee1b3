#pragma once

#include <string>

/// Full path of the running program file (the stand-in for the Windows module file
/// name). Read from /proc/self/exe; when that cannot be read, from the path Qt knows,
/// else "grantwise". A test may override it with SetProgramFilePath.
std::string ProgramFilePath();

/// Overrides the program path (an empty path restores the real one). For tests.
void SetProgramFilePath(const std::string& path);
