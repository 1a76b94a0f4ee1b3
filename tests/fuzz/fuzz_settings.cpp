// Fuzzes the settings-file reader through the profile-file service and D_Ini: any bytes
// in the settings file must read without a crash; an untouched file must come back byte
// for byte; saving the work queue back must give the same queue (texts as the file
// format keeps them, check marks shared by texts equal but for case) and must leave
// every value of the other sections as it was.
#include "platform/ProfileFile.h"
#include "settings/D_Ini.h"
#include "settings/SavedScanSettings.h"
#include "util/D_Util.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>

namespace {

const std::string& settingsPath()
{
    static const std::string path = [] {
        char folder[] = "/tmp/grantwise-fuzz-settings-XXXXXX";
        if (!mkdtemp(folder))
            abort();
        return std::string(folder) + "/grantwise.ini";
    }();
    return path;
}

void writeFile(const std::string& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        abort();
}

// The text a stored list item reads back as: one pair of enclosing double quotes is
// dropped on reading, and nothing else changes.
std::string readBackText(const std::string& text)
{
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        return text.substr(1, text.size() - 2);
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    // An untouched file is written back byte for byte.
    if (ProfileFileText(bytes).toBytes() != bytes)
        abort();

    const std::string& path = settingsPath();
    writeFile(path, bytes);
    SavedScanSettings saved;
    std::string error;
    ReadSavedScanSettings(path, saved, error);

    ProfileFile ini(path);
    // Only a UTF-16 file (byte-order mark first) that is not well-formed is unreadable.
    const bool utf16 = bytes.rfind("\xFF\xFE", 0) == 0 || bytes.rfind("\xFE\xFF", 0) == 0;
    if (ini.loadState() != ProfileFile::LoadState::Loaded) {
        if (!utf16 || ini.loadError() != "not well-formed UTF-16 text")
            abort();
        return 0;
    }
    IniBounds bounds;
    LoadBounds(ini, "Settings", "MainForm", bounds);
    IniHistory history;
    LoadHistoryDef(ini, "History EditPattern", history, "*.*");
    IniReadBool(ini, "Settings", "CheckBox_IRM", true);
    std::vector<IniListItem> queue;
    LoadCheckList(ini, "CheckListBoxQ", queue, true);

    // What the other sections hold before the queue is saved back.
    std::map<std::string, std::string> settingsBefore;
    for (const auto& [key, value] : ini.readSection("Settings"))
        settingsBefore.emplace(key, IniReadStr(ini, "Settings", key, "\x01missing"));

    // The queue as loaded, plus one item made of the first line of the input, checked.
    IniListItem extra;
    extra.text = bytes.substr(0, std::min<size_t>(bytes.find('\n'), 80));
    extra.checked = true;
    queue.push_back(extra);
    // An item that cannot be stored (a line break, a quote before "=" in a key, text
    // that is not UTF-8 in a UTF-16 file) is reported and skipped: the rest is saved.
    const IniRefusals refusals = SaveCheckList(ini, "CheckListBoxQ", queue, true);
    IniFlush(ini);
    if (!refusals.empty())
        return 0;

    ProfileFile reread(path);
    std::vector<IniListItem> loaded;
    LoadCheckList(reread, "CheckListBoxQ", loaded, true);
    if (loaded.size() != queue.size())
        abort();
    for (size_t i = 0; i < queue.size(); ++i) {
        const std::string expected = readBackText(queue[i].text);
        if (loaded[i].text != expected || loaded[i].object != static_cast<int>(i))
            abort();
        bool checked = false;
        for (const IniListItem& item : queue)
            checked = checked || (item.checked && SameText(item.text, expected));
        if (loaded[i].checked != checked)
            abort();
    }
    for (const auto& [key, value] : settingsBefore)
        if (IniReadStr(reread, "Settings", key, "\x01missing") != value)
            abort();
    return 0;
}
