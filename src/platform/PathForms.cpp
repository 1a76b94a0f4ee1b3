#include "platform/PathForms.h"

#include "platform/Shell.h"
#include "util/D_Util.h"

#include <functional>

namespace {

constexpr size_t shortPathBuffer = 255;

std::string longForm(const std::string& path, LongPathConverter::FolderForms* folders)
{
    std::string p = RemoveSlash(path);
    const size_t cut = p.find_last_of("\\:");
    std::string folder = cut == std::string::npos ? std::string() : p.substr(0, cut + 1);
    const std::string name = cut == std::string::npos ? p : p.substr(cut + 1);
    if (name.empty() || folder == "\\\\")
        return p;
    // A drive root such as "C:\" stays as it is; any other folder is converted first. A
    // bare name has no folder to convert (joining it to "" would put a "\" before it).
    if (!folder.empty() && (folder.size() < 2 || folder.substr(1) != ":\\")) {
        const std::string key = RemoveSlash(folder);
        if (!folders) {
            folder = longForm(key, nullptr);
        } else if (const std::optional<std::string_view> known = folders->find(key)) {
            folder.assign(*known);
        } else {
            folder = longForm(key, folders);
            folders->add(key, folder);
        }
        p = JoinPath(folder, name);
    }
    // "\\server\share": server and share names are never converted.
    if (folder.size() >= 2 && folder.compare(0, 2, "\\\\") == 0 && folder.find('\\', 2) == std::string::npos)
        return p;
    // The display name stands for the last component only: an answer that is empty or
    // holds a separator is taken as no answer. (Taking such an answer put a whole path in
    // the place of one component, and since every folder above is converted the same
    // way, a local path of a few dozen separators grew to gigabytes.)
    std::string displayName;
    if (ShellDisplayName(p, displayName) && !displayName.empty()
        && displayName.find_first_of("\\/") == std::string::npos)
        p = JoinPath(folder, displayName);
    return p;
}

} // namespace

std::string ConvertPathName(const std::string& path, PathForm form)
{
    if (form == PathForm::Long)
        return longForm(path, nullptr);
    std::string shortPath;
    // A short form that would not fit the system's buffer counts as no answer.
    if (!ShellShortPathName(path, shortPath) || shortPath.empty() || shortPath.size() > shortPathBuffer)
        return path;
    return shortPath;
}

std::string LongPathConverter::convert(const std::string& path)
{
    // Bounds the memory of a converter that lives long; a report's folders fit easily.
    if (m_folders.size() > maxFolders)
        m_folders.clear();
    return longForm(path, &m_folders);
}

std::optional<std::string_view> LongPathConverter::FolderForms::find(std::string_view folder) const
{
    if (m_count == 0)
        return std::nullopt;
    const uint64_t hash = std::hash<std::string_view>()(folder);
    const size_t mask = m_slots.size() - 1;
    for (size_t at = hash & mask; m_slots[at].formLength != 0; at = (at + 1) & mask) {
        const Slot& slot = m_slots[at];
        if (slot.hash == hash && std::string_view(m_texts).substr(slot.at, slot.folderLength) == folder)
            return std::string_view(m_texts).substr(slot.at + slot.folderLength, slot.formLength - 1);
    }
    return std::nullopt;
}

void LongPathConverter::FolderForms::add(std::string_view folder, std::string_view longForm)
{
    if ((m_count + 1) * 2 > m_slots.size()) {
        std::vector<Slot> old(std::max<size_t>(64, m_slots.size() * 2));
        old.swap(m_slots);
        const size_t mask = m_slots.size() - 1;
        for (const Slot& slot : old) {
            if (slot.formLength == 0)
                continue;
            size_t at = slot.hash & mask;
            while (m_slots[at].formLength != 0)
                at = (at + 1) & mask;
            m_slots[at] = slot;
        }
    }
    Slot slot;
    slot.hash = std::hash<std::string_view>()(folder);
    slot.at = m_texts.size();
    slot.folderLength = static_cast<uint32_t>(folder.size());
    slot.formLength = static_cast<uint32_t>(longForm.size() + 1);
    m_texts += folder;
    m_texts += longForm;
    const size_t mask = m_slots.size() - 1;
    size_t at = slot.hash & mask;
    while (m_slots[at].formLength != 0)
        at = (at + 1) & mask;
    m_slots[at] = slot;
    ++m_count;
}

void LongPathConverter::FolderForms::clear()
{
    std::string().swap(m_texts);
    std::vector<Slot>().swap(m_slots);
    m_count = 0;
}
