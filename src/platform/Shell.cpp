#include "platform/Shell.h"

#include "netware/NWBufferText.h"
#include "netware/NWClientLibrary.h"
#include "services/Services.h"
#include "util/D_Util.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

bool isSeparator(char c)
{
    return c == '\\' || c == '/';
}

bool isNetworkPath(const std::string& path)
{
    return path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1]);
}

std::vector<std::string> componentsOf(std::string_view text)
{
    std::vector<std::string> parts;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = pos;
        while (end < text.size() && !isSeparator(text[end]))
            ++end;
        if (end > pos)
            parts.emplace_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    return parts;
}

// A network path as the client library takes it: the connection to its server (opened
// by name) and its components (server, volume, the names below the volume).
struct NetworkPlace {
    uint32_t conn = 0;
    std::vector<std::string> parts;
};

// Opens the connection to the path's server. The connection stays open: the library
// may hand out one handle per server, so closing it here could close the connection
// the scan uses; the path splitter keeps servers open in the same way.
bool openNetworkPlace(const std::string& path, NetworkPlace& place)
{
    place.parts = componentsOf(path);
    return !place.parts.empty() && NWLib().openConnByName(place.parts[0].c_str(), place.conn) == 0;
}

// The entry path of the first `count` components ("VOL1:" and the names below the
// volume joined with "\"), for the name-space calls.
std::string entryPathOf(const std::vector<std::string>& parts, size_t count)
{
    std::string path = parts[1] + ":";
    for (size_t i = 2; i < count; ++i) {
        if (i > 2)
            path += '\\';
        path += parts[i];
    }
    return path;
}

// The name of the entry an entry path names, in a name space. The path's components may
// be long or DOS names, so it is read in the long name space, which knows both.
bool readEntryName(uint32_t conn, const std::string& entryPath, uint8_t nameSpace, std::string& name)
{
    NWEntryInfo info {};
    if (NWLib().getNSEntryInfo(conn, 0, entryPath.c_str(), nw::nameSpaceLong, nameSpace, info) != 0)
        return false;
    name = NWBufferText(info.entryName, sizeof info.entryName);
    return true;
}

// The local file-system path a shell path stands for: "C:\" is "/".
std::filesystem::path localPath(const std::string& path)
{
    std::string local = path.size() >= 2 && path[1] == ':' && (path[0] | 0x20) == 'c' ? path.substr(2) : path;
    std::replace(local.begin(), local.end(), '\\', '/');
    return std::filesystem::path(local.empty() ? std::string("/") : local);
}

} // namespace

bool ShellShortPathName(const std::string& path, std::string& shortPath)
{
    if (!isNetworkPath(path)) {
        std::error_code ec;
        if (!std::filesystem::exists(localPath(path), ec))
            return false;
        shortPath = path;
        return true;
    }
    NetworkPlace place;
    if (!openNetworkPlace(path, place))
        return false;
    const std::vector<std::string>& parts = place.parts;
    std::string out = "\\\\" + parts[0];
    for (size_t i = 2; i <= parts.size(); ++i) {
        std::string dosName;
        if (!readEntryName(place.conn, entryPathOf(parts, i), nw::nameSpaceDos, dosName))
            return false;
        // The volume stays as written; every name below it becomes its DOS name.
        out += "\\" + (i == 2 ? parts[1] : dosName);
    }
    if (isSeparator(path.back()))
        out += "\\";
    shortPath = out;
    return true;
}

bool ShellDisplayName(const std::string& path, std::string& displayName)
{
    if (!isNetworkPath(path)) {
        const std::filesystem::path local = localPath(path);
        std::error_code ec;
        if (!std::filesystem::exists(local, ec))
            return false;
        // The name of the last component; a trailing separator names the same entry
        // ("/tmp/" is "tmp"). Only the root, which has no name, answers with the path.
        std::string text = local.string();
        while (text.size() > 1 && text.back() == '/')
            text.pop_back();
        const std::string name = std::filesystem::path(text).filename().string();
        displayName = name.empty() ? path : name;
        return true;
    }
    NetworkPlace place;
    if (!openNetworkPlace(path, place))
        return false;
    if (place.parts.size() > 1)
        return readEntryName(place.conn, entryPathOf(place.parts, place.parts.size()), nw::nameSpaceLong, displayName);
    char server[nw::textBufferSize + 1] = {};
    if (NWLib().getConnInfo(place.conn, nw::connInfoServerName, nw::textBufferSize, server) != 0)
        return false;
    displayName = NWBufferText(server, sizeof server);
    return true;
}

std::vector<ShellFolder> ShellListFolders(const std::string& path)
{
    std::vector<ShellFolder> folders;
    if (!isNetworkPath(path)) {
        std::error_code ec;
        const std::filesystem::path local = localPath(path);
        const char separator = path.find('\\') != std::string::npos ? '\\' : '/';
        for (auto it = std::filesystem::directory_iterator(local, ec);
             !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
            std::error_code typeError;
            if (!it->is_directory(typeError))
                continue;
            const std::string name = it->path().filename().string();
            std::string child = path;
            if (child.empty() || !isSeparator(child.back()))
                child += separator;
            folders.push_back({ name, child + name });
        }
        std::sort(folders.begin(), folders.end(),
            [](const ShellFolder& a, const ShellFolder& b) { return a.displayName < b.displayName; });
        return folders;
    }
    NetworkPlace place;
    if (!openNetworkPlace(path, place))
        return folders;
    const std::string base = RemoveSlash(path) + "\\";
    if (place.parts.size() == 1) {
        // Volume numbers may have gaps (a volume not mounted), so every number is asked.
        for (uint16_t number = 0; number < nw::maxVolumes; ++number) {
            char name[nw::nameBufferSize] = {};
            const uint16_t code = NWLib().getVolumeName(place.conn, number, name);
            if (code == nw::noSuchVolume)
                continue;
            if (code != 0)
                break;
            const std::string volume = NWBufferText(name, sizeof name);
            folders.push_back({ volume, base + volume });
        }
        return folders;
    }
    const std::string dirPath = entryPathOf(place.parts, place.parts.size());
    NWSearchSequence sequence;
    std::memset(&sequence, 0xFF, sizeof sequence);
    NWEntryInfo info {};
    while (NWLib().scanNSEntryInfo(
               place.conn, 0, dirPath.c_str(), nw::nameSpaceLong, nw::searchSubdirectories, sequence, "*", info)
        == 0) {
        if (!(info.attributes & nw::attrDirectory))
            continue;
        const std::string name = NWBufferText(info.entryName, sizeof info.entryName);
        folders.push_back({ name, base + name });
    }
    return folders;
}
