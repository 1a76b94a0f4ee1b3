#pragma once

#include "settings/D_Ini.h"

#include <string>
#include <vector>

/// The scan choices and the work queue as the window restores them from its settings
/// file (section "Settings": RadioGroupScope, RadioGroupInfo, CheckBox_IRM, EditPattern;
/// sections "CheckListBoxQ" and "CheckListBoxQ Checked": the queue and its recursion
/// marks). Each choice starts from the window's designed state and takes the stored
/// value through the same reading operations the window's control walk uses, so the
/// command line and the window read one file alike: a stored index beyond the choices
/// selects the last choice, a negative one selects none (-1), and a missing key or one
/// that holds no number keeps the designed value.
struct SavedScanSettings {
    /// Items of the scope and info choices ("&Directories", "&Files", "&Both" and
    /// "&Trustees", "&Owner", "&Both"), for the rule above.
    static constexpr int choiceCount = 3;

    int scope = 0; ///< 0 directories, 1 files, 2 both; -1 none
    int info = 0; ///< 0 trustees, 1 owner, 2 both; -1 none
    bool irm = true;
    std::string pattern = "*.*";
    std::vector<IniListItem> queue; ///< text = start path, checked = recurse
};

/// Reads the window's choices from a settings file (the name is resolved like every
/// settings file: a bare name lies in the user's configuration folder). Returns false
/// with error naming the file and the cause when the file does not exist, cannot be
/// read, or is binary rather than text; a text file without the sections is no error
/// (every choice then keeps its designed value and the queue is empty).
bool ReadSavedScanSettings(const std::string& fileName, SavedScanSettings& out, std::string& error);
