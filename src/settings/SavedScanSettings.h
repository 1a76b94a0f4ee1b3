#pragma once

#include "settings/D_Ini.h"

#include <optional>
#include <string>
#include <vector>

/// The scan choices and the work queue as the window stores them in its settings file
/// (section "Settings": RadioGroupScope, RadioGroupInfo, CheckBox_IRM, EditPattern;
/// sections "CheckListBoxQ" and "CheckListBoxQ Checked": the queue and its recursion
/// marks). A choice is present only when its key is stored (and, for the numbers and
/// the flag, holds a number); the indexes are as stored, not range-checked (the window
/// treats an index outside 0..2 as its last item, or none for a negative one).
struct SavedScanSettings {
    std::optional<int> scope; // 0 directories, 1 files, 2 both
    std::optional<int> info; // 0 trustees, 1 owner, 2 both
    std::optional<bool> irm;
    std::optional<std::string> pattern;
    std::vector<IniListItem> queue; // text = start path, checked = recurse
};

/// Reads the window's choices from a settings file (the name is resolved like every
/// settings file: a bare name lies in the user's configuration folder). Returns false
/// with error naming the file and the cause when the file does not exist, cannot be
/// read, or is binary rather than text; a text file without the sections is no error
/// (every choice is then absent and the queue empty).
bool ReadSavedScanSettings(const std::string& fileName, SavedScanSettings& out, std::string& error);
