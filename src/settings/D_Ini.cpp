#include "settings/D_Ini.h"

#include "platform/ProgramPath.h"
#include "util/D_Util.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string_view>

std::string IniFileName(bool nameOnly)
{
    const std::string full = ExeFileWithExt("ini");
    if (!nameOnly)
        return full;
    const size_t slash = full.find_last_of("/\\");
    return slash == std::string::npos ? full : full.substr(slash + 1);
}

std::optional<int> IniParseInt(const std::string& text)
{
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        const std::string_view digits = std::string_view(text).substr(2);
        if (digits.size() > 8 || digits.find_first_not_of("0123456789abcdefABCDEF") != std::string_view::npos)
            return std::nullopt;
        return static_cast<int>(static_cast<uint32_t>(std::strtoul(std::string(digits).c_str(), nullptr, 16)));
    }
    size_t first = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
    if (first >= text.size() || text.find_first_not_of("0123456789", first) != std::string::npos)
        return std::nullopt;
    errno = 0;
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (errno == ERANGE || value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<int>(value);
}

namespace {

std::optional<int> storedInt(const ProfileFile& ini, const std::string& section, const std::string& key)
{
    const std::optional<std::string> stored = ini.readString(section, key);
    return stored ? IniParseInt(*stored) : std::nullopt;
}

void writeRaw(ProfileFile& ini, const std::string& section, const std::string& key, const std::string& value)
{
    if (!ini.writeString(section, key, value))
        throw IniWriteError(ini.lastError());
}

} // namespace

std::string IniReadStr(
    const ProfileFile& ini, const std::string& section, const std::string& key, const std::string& def)
{
    return ini.readString(section, key).value_or(def);
}

int IniReadInt(const ProfileFile& ini, const std::string& section, const std::string& key, int def)
{
    return storedInt(ini, section, key).value_or(def);
}

bool IniReadBool(const ProfileFile& ini, const std::string& section, const std::string& key, bool def)
{
    return IniReadInt(ini, section, key, def ? 1 : 0) != 0;
}

int ChoiceIndexFromStored(int stored, int count) noexcept
{
    return stored < 0 ? -1 : std::min(stored, count - 1);
}

int IniReadChoiceIndex(
    const ProfileFile& ini, const std::string& section, const std::string& key, int count, int current)
{
    const std::optional<int> stored = storedInt(ini, section, key);
    return stored ? ChoiceIndexFromStored(*stored, count) : current;
}

void IniWriteStr(ProfileFile& ini, const std::string& section, const std::string& key, const std::string& text)
{
    const std::optional<std::string> stored = ini.readString(section, key);
    if (stored && (text == *stored || text == Quoted(*stored)))
        return;
    writeRaw(ini, section, key, text);
}

void IniWriteInt(ProfileFile& ini, const std::string& section, const std::string& key, int value)
{
    const std::optional<int> stored = storedInt(ini, section, key);
    if (stored && *stored == value)
        return;
    writeRaw(ini, section, key, std::to_string(value));
}

void IniWriteBool(ProfileFile& ini, const std::string& section, const std::string& key, bool flag)
{
    const std::optional<int> stored = storedInt(ini, section, key);
    if (stored && (*stored != 0) == flag)
        return;
    writeRaw(ini, section, key, flag ? "1" : "0");
}

void IniEraseSection(ProfileFile& ini, const std::string& section)
{
    ini.eraseSection(section);
}

void IniFlush(ProfileFile& ini)
{
    if (!ini.flush())
        throw IniWriteError(ini.lastError());
}

namespace {

// Runs one write; a value the file refuses is recorded and the save goes on.
template <typename Write> void writeOrRecord(IniRefusals& refusals, Write write)
{
    try {
        write();
    } catch (const IniWriteError& error) {
        refusals.emplace_back(error.what());
    }
}

} // namespace

std::string IniRefusalsText(const IniRefusals& refusals)
{
    if (refusals.empty())
        return std::string();
    std::string text = "These settings could not be saved:";
    for (const std::string& refusal : refusals)
        text += "\n" + refusal;
    return text;
}

IniRefusals SaveStrings(
    ProfileFile& ini, const std::string& section, const std::vector<IniListItem>& list, bool keysFromObjects)
{
    IniRefusals refusals;
    IniEraseSection(ini, section);
    for (size_t i = 0; i < list.size(); ++i) {
        const std::string key = keysFromObjects ? std::to_string(list[i].object) : std::to_string(i);
        writeOrRecord(refusals, [&] { IniWriteStr(ini, section, key, list[i].text); });
    }
    return refusals;
}

void LoadStrings(const ProfileFile& ini, const std::string& section, std::vector<IniListItem>& list, bool keysToObjects)
{
    for (auto& [key, value] : ini.readSection(section)) {
        IniListItem item;
        item.text = value;
        if (keysToObjects && !key.empty())
            item.object = IniParseInt(key).value_or(0);
        list.push_back(std::move(item));
    }
}

std::string CheckedSection(const std::string& section)
{
    return section + " Checked";
}

IniRefusals SaveCheckList(
    ProfileFile& ini, const std::string& section, const std::vector<IniListItem>& list, bool withItems)
{
    IniRefusals refusals;
    if (withItems)
        refusals = SaveStrings(ini, section, list, false);
    const std::string checked = CheckedSection(section);
    IniEraseSection(ini, checked);
    for (const IniListItem& item : list)
        if (item.checked)
            writeOrRecord(refusals, [&] { IniWriteBool(ini, checked, item.text, true); });
    return refusals;
}

void LoadCheckList(const ProfileFile& ini, const std::string& section, std::vector<IniListItem>& list, bool withItems)
{
    if (withItems) {
        list.clear();
        LoadStrings(ini, section, list, true);
    }
    const std::string checked = CheckedSection(section);
    for (IniListItem& item : list)
        item.checked = IniReadBool(ini, checked, item.text, false);
}

void SaveBounds(ProfileFile& ini, const std::string& section, const std::string& name, const IniBounds& bounds)
{
    const std::string sec = section.empty() ? name : section;
    try {
        IniWriteInt(ini, sec, name + ".Top", bounds.top);
        IniWriteInt(ini, sec, name + ".Left", bounds.left);
        IniWriteInt(ini, sec, name + ".Width", bounds.width);
        IniWriteInt(ini, sec, name + ".Height", bounds.height);
    } catch (const IniWriteError&) {
        // A window whose bounds cannot be stored simply opens at its designed place.
    }
}

void LoadBounds(const ProfileFile& ini, const std::string& section, const std::string& name, IniBounds& bounds)
{
    const std::string sec = section.empty() ? name : section;
    const auto apply = [&](const char* suffix, int& target) {
        if (const int value = IniReadInt(ini, sec, name + suffix, 0); value != 0)
            target = value;
    };
    apply(".Width", bounds.width);
    apply(".Height", bounds.height);
    apply(".Left", bounds.left);
    apply(".Top", bounds.top);
}

void AddToHistory(IniHistory& history)
{
    if (history.text.empty() || TextInArray(history.text, history.items, false))
        return;
    if (history.items.size() > static_cast<size_t>(historyMaxIndex))
        history.items.erase(history.items.begin() + historyMaxIndex);
    history.items.insert(history.items.begin(), history.text);
    if (history.listOnly)
        history.itemIndex = 0;
}

void SaveHistory(ProfileFile& ini, const std::string& section, IniHistory& history)
{
    AddToHistory(history);
    IniWriteStr(ini, section, "Current", Quoted(history.text));
    for (size_t i = 0; i < history.items.size(); ++i)
        IniWriteStr(ini, section, std::to_string(i), Quoted(history.items[i]));
}

void LoadHistory(const ProfileFile& ini, const std::string& section, IniHistory& history)
{
    for (int i = 0; i <= historyMaxIndex; ++i) {
        const std::string value = IniReadStr(ini, section, std::to_string(i), "");
        if (!value.empty() && !TextInArray(value, history.items, false))
            history.items.push_back(value);
    }
    if (history.listOnly) {
        history.itemIndex = history.items.empty() ? -1 : 0;
        history.text = history.items.empty() ? std::string() : history.items[0];
    } else {
        history.text = IniReadStr(ini, section, "Current", "");
    }
}

void LoadHistoryDef(const ProfileFile& ini, const std::string& section, IniHistory& history, const std::string& def)
{
    LoadHistory(ini, section, history);
    if (history.text.empty()) {
        if (history.listOnly) {
            history.itemIndex = IndexOfText(def, history.items, false);
            history.text = history.itemIndex >= 0 ? history.items[history.itemIndex] : std::string();
        } else {
            history.text = def;
        }
    }
    AddToHistory(history);
}
