#pragma once

// The shell stand-in: short and long path names, display names and folder enumeration.
// A network path ("\\SERVER\VOLUME\dir\...") is answered through the client library of
// the current context of services (NWLib()): the connection to the server by its name,
// its volumes by number, the entries' long and DOS names through the name-space calls.
// Any other path is a local file-system path (the design-time root "C:\" stands for "/").

#include <string>
#include <vector>

/// One folder below a shell path.
struct ShellFolder {
    std::string displayName; ///< the name the shell shows (network: long name)
    std::string path; ///< the folder's full path (network: "\\SERVER\VOL1\R&D\Plans 2002")
};

/// The short (8.3) form of an existing path: for a network path each component below the
/// share (volume) replaced by its DOS name; a local path has no short form and comes back
/// unchanged. Returns false (shortPath untouched) when the path does not exist.
bool ShellShortPathName(const std::string& path, std::string& shortPath);

/// The display name of the entry the path names: network paths give the entry's long
/// name (a volume its name, a server its name), local paths the file name. Returns false
/// (displayName untouched) when the path does not exist.
bool ShellDisplayName(const std::string& path, std::string& displayName);

/// The folders directly below a path, for the folder tree: "\\SERVER\" lists the server's
/// volumes, a volume or directory its subdirectories (long names, in server order); a
/// local path its subdirectories sorted by name. Empty for a path that does not exist.
std::vector<ShellFolder> ShellListFolders(const std::string& path);
