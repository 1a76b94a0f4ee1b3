#include "platform/Shell.h"

#include "platform/netware/NetworkLoader.h"
#include "util/D_Util.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

bool IsNetworkPath(const std::string& path)
{
    return path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
}

std::vector<std::string> Components(std::string_view text)
{
    std::vector<std::string> parts;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = pos;
        while (end < text.size() && !IsSeparator(text[end]))
            ++end;
        if (end > pos)
            parts.emplace_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    return parts;
}

// A network path resolved against the simulated network: the server, the volume (if
// named) and the entries of the components below it.
struct NetworkPlace {
    const Network* net = nullptr;
    uint32_t server = 0;
    bool hasVolume = false;
    uint32_t volume = 0;
    std::vector<uint32_t> entries; // one per component below the volume
};

bool ResolveNetworkPath(const std::string& path, NetworkPlace& place)
{
    const SimulatedNetWare* library = CurrentSimulatedNetWare();
    if (!library || !library->network())
        return false;
    place.net = library->network();
    const std::vector<std::string> parts = Components(path);
    if (parts.empty())
        return false;
    const auto server = place.net->findServer(parts[0]);
    if (!server)
        return false;
    place.server = *server;
    if (parts.size() == 1)
        return true;
    const auto volume = place.net->findVolume(*server, parts[1]);
    if (!volume)
        return false;
    place.hasVolume = true;
    place.volume = *volume;
    uint32_t current = place.net->servers[*server].volumes[*volume].root;
    for (size_t i = 2; i < parts.size(); ++i) {
        if (!(place.net->entries[current].flags & NetEntry::isDirectory))
            return false;
        current = place.net->findChild(current, parts[i]);
        if (current == NetEntry::none)
            return false;
        place.entries.push_back(current);
    }
    return true;
}

// The local file-system path a shell path stands for: "C:\" is "/".
std::filesystem::path LocalPath(const std::string& path)
{
    std::string local = path;
    if (local.size() >= 2 && (local[1] == ':') && ((local[0] | 0x20) == 'c'))
        local = local.substr(2);
    std::replace(local.begin(), local.end(), '\\', '/');
    if (local.empty())
        local = "/";
    return std::filesystem::path(local);
}

} // namespace

bool ShellShortPathName(const std::string& path, std::string& shortPath)
{
    if (!IsNetworkPath(path)) {
        std::error_code ec;
        if (!std::filesystem::exists(LocalPath(path), ec))
            return false;
        shortPath = path;
        return true;
    }
    NetworkPlace place;
    if (!ResolveNetworkPath(path, place))
        return false;
    const std::vector<std::string> parts = Components(path);
    std::string out = "\\\\" + parts[0];
    if (parts.size() > 1)
        out += "\\" + parts[1];
    for (uint32_t entry : place.entries)
        out += "\\" + std::string(Network::dosName(place.net->entries[entry]));
    if (IsSeparator(path.back()))
        out += "\\";
    shortPath = out;
    return true;
}

bool ShellDisplayName(const std::string& path, std::string& displayName)
{
    if (!IsNetworkPath(path)) {
        const std::filesystem::path local = LocalPath(path);
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
    if (!ResolveNetworkPath(path, place))
        return false;
    if (!place.entries.empty())
        displayName = std::string(place.net->longName(place.net->entries[place.entries.back()]));
    else if (place.hasVolume)
        displayName = place.net->servers[place.server].volumes[place.volume].name;
    else
        displayName = place.net->servers[place.server].name;
    return true;
}

std::vector<ShellFolder> ShellListFolders(const std::string& path)
{
    std::vector<ShellFolder> folders;
    if (!IsNetworkPath(path)) {
        std::error_code ec;
        const std::filesystem::path local = LocalPath(path);
        const char separator = path.find('\\') != std::string::npos ? '\\' : '/';
        for (auto it = std::filesystem::directory_iterator(local, ec);
             !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
            std::error_code typeError;
            if (!it->is_directory(typeError))
                continue;
            const std::string name = it->path().filename().string();
            std::string child = path;
            if (child.empty() || !IsSeparator(child.back()))
                child += separator;
            folders.push_back({ name, child + name });
        }
        std::sort(folders.begin(), folders.end(),
            [](const ShellFolder& a, const ShellFolder& b) { return a.displayName < b.displayName; });
        return folders;
    }
    NetworkPlace place;
    if (!ResolveNetworkPath(path, place))
        return folders;
    const std::string base = RemoveSlash(path) + "\\";
    const NetServer& server = place.net->servers[place.server];
    if (!place.hasVolume) {
        for (const NetVolume& volume : server.volumes)
            folders.push_back({ volume.name, base + volume.name });
        return folders;
    }
    const uint32_t dirIndex = place.entries.empty() ? server.volumes[place.volume].root : place.entries.back();
    const NetEntry& dir = place.net->entries[dirIndex];
    if (!(dir.flags & NetEntry::isDirectory))
        return folders;
    for (uint32_t i = 0; i < dir.childCount; ++i) {
        const NetEntry& child = place.net->entries[dir.firstChild + i];
        if (!(child.flags & NetEntry::isDirectory))
            continue;
        const std::string name(place.net->longName(child));
        folders.push_back({ name, base + name });
    }
    return folders;
}
