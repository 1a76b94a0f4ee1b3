// The file-level operations of D_Ini: each opens the settings file, does its work on
// the widgets and closes the file again, writing it back when something changed.

#include "settings/controls/D_IniControls.h"

#include "app/widgets/TCheckListBox.h"

void LoadControlsFromFile(const std::string& fileName, const std::string& section, QWidget* container)
{
    try {
        const ProfileFile ini(fileName);
        LoadControls(ini, section, container);
    } catch (const std::exception&) {
        // Reading never reports an error: the controls keep what they hold.
    }
}

void LoadCheckListFromFile(const std::string& fileName, const std::string& section, TCheckListBox* list)
{
    try {
        const ProfileFile ini(fileName);
        LoadCheckListItems(ini, section, list);
    } catch (const std::exception&) {
    }
}

void LoadBoundsFromFile(const std::string& fileName, const std::string& section, QWidget* window)
{
    try {
        const ProfileFile ini(fileName);
        LoadBounds(ini, section, window);
    } catch (const std::exception&) {
    }
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
