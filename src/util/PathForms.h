#pragma once

#include <string>

/// The form ConvertPathName produces.
enum class PathForm {
    Short, ///< every component's 8.3 alias, as the system gives it
    Long,  ///< every component below a drive root or a network share replaced by the name the shell shows
};

/// The path in the requested form.
///
/// Short: the shell's short form of the path; when the shell gives none (the path does
/// not exist, it is a local path, or the short form is longer than 255 characters) the
/// path comes back unchanged.
///
/// Long: works from the last component backwards, each component replaced by its display
/// name; a drive root ("C:\"), the server and the share ("\\SRV\VOL") are never
/// converted, and a component the shell does not know stays as it is. "C:\" gives "C:",
/// "\\SRV" gives "\\SRV", "\\SRV\VOL\" gives "\\SRV\VOL". Never fails.
std::string ConvertPathName(const std::string& path, PathForm form);
