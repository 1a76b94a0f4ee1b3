// The file-level operations of D_Ini: each opens the settings file, does its work on
// the widgets and closes the file again, writing it back when something changed.

#include "settings/controls/D_IniControls.h"

#include "app/widgets/TCheckListBox.h"

// Reading finds nothing to report: ProfileFile reads a missing or unreadable file as an
// empty one, and a missing key leaves a control as it is. So there is no guard here that
// could only discard running out of memory.

void LoadControlsFromFile(const std::string& fileName, const std::string& section, QWidget* container)
{
    LoadControls(ProfileFile(fileName), section, container);
}

void LoadCheckListFromFile(const std::string& fileName, const std::string& section, TCheckListBox* list)
{
    LoadCheckListItems(ProfileFile(fileName), section, list);
}

void LoadBoundsFromFile(const std::string& fileName, const std::string& section, QWidget* window)
{
    LoadBounds(ProfileFile(fileName), section, window);
}

IniRefusals SaveCheckListToFile(const std::string& fileName, const std::string& section, TCheckListBox* list)
{
    ProfileFile ini(fileName);
    IniRefusals refusals = SaveCheckListItems(ini, section, list);
    IniFlush(ini);
    return refusals;
}

IniRefusals SaveControlsToFile(const std::string& fileName, const std::string& section, QWidget* container)
{
    ProfileFile ini(fileName);
    IniRefusals refusals = SaveControls(ini, section, container);
    IniFlush(ini);
    return refusals;
}

void SaveBoundsToFile(const std::string& fileName, const std::string& section, QWidget* window)
{
    ProfileFile ini(fileName);
    SaveBounds(ini, section, window);
    IniFlush(ini);
}
