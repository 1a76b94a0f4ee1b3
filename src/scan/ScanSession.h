#pragma once

#include "netware/NameCache.h"

#include <cstdint>
#include <string>

/// The state of the current connection and scan, held by the window (or the command
/// line) for the whole run. All texts start empty.
struct ScanSession {
    /// Handle of the open NetWare connection; 999 means none.
    static constexpr uint32_t noConnection = 999;

    uint32_t ConnHandle = noConnection;
    std::string ServerName; ///< server of that connection or of the last resolved path
    std::string VolumeName; ///< volume of the last resolved path
    std::string DirPath; ///< volume-relative directory of the last resolved path
    std::string SelectedPath; ///< short form of the folder last selected in the folder tree
    bool PathLineDone = false; ///< the current detail group's path line has been written
    std::string TreeName; ///< directory-services tree of the connection
    std::string IniName; ///< settings file name
    NameCache Names; ///< owner-name cache
    uint32_t DSContext = 0; ///< directory-services context handle
};
