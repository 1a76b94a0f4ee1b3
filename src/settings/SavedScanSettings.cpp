#include "settings/SavedScanSettings.h"

bool ReadSavedScanSettings(const std::string& fileName, SavedScanSettings& out, std::string& error)
{
    const ProfileFile ini(fileName);
    switch (ini.loadState()) {
    case ProfileFile::LoadState::Missing:
        error = ini.path() + ": no such settings file";
        return false;
    case ProfileFile::LoadState::Unreadable:
        error = ini.path() + ": cannot read the settings file: " + ini.loadError();
        return false;
    case ProfileFile::LoadState::Loaded:
        break;
    }
    if (ini.looksBinary()) {
        error = ini.path() + ": not a settings file (binary content)";
        return false;
    }
    // As the window's LoadControls and LoadCheckListItems read them, each from the
    // designed state.
    out = SavedScanSettings();
    out.scope = IniReadChoiceIndex(ini, "Settings", "RadioGroupScope", SavedScanSettings::choiceCount, out.scope);
    out.info = IniReadChoiceIndex(ini, "Settings", "RadioGroupInfo", SavedScanSettings::choiceCount, out.info);
    out.irm = IniReadBool(ini, "Settings", "CheckBox_IRM", out.irm);
    out.pattern = IniReadStr(ini, "Settings", "EditPattern", out.pattern);
    LoadCheckList(ini, "CheckListBoxQ", out.queue, true);
    return true;
}
