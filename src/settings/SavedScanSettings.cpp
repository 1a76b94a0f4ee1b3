#include "settings/SavedScanSettings.h"

namespace {

std::optional<int> storedNumber(const ProfileFile& ini, const char* key)
{
    const std::optional<std::string> text = ini.readString("Settings", key);
    return text ? IniParseInt(*text) : std::nullopt;
}

} // namespace

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
    out = SavedScanSettings();
    out.scope = storedNumber(ini, "RadioGroupScope");
    out.info = storedNumber(ini, "RadioGroupInfo");
    if (const std::optional<int> irm = storedNumber(ini, "CheckBox_IRM"))
        out.irm = *irm != 0;
    out.pattern = ini.readString("Settings", "EditPattern");
    LoadCheckList(ini, "CheckListBoxQ", out.queue, true);
    return true;
}
