#include "PlainNetworkWriter.h"

#include "util/D_Util.h"

#include <nlohmann/json.hpp>

#include <vector>

namespace bench {

namespace {

std::string quotedText(std::string_view text)
{
    return nlohmann::json(std::string(text)).dump();
}

// The entry's own keys (names, owner, irm, trustees), without its children.
void appendAttributes(std::string& out, const Network& net, const NetEntry& entry)
{
    if (entry.owner)
        out += Format(", \"owner\": \"#0x%08X\"", entry.owner);
    if (entry.irm != 0xFF)
        out += Format(", \"irm\": %u", entry.irm);
    if (entry.trusteeCount) {
        out += ", \"trustees\": [";
        for (uint32_t t = 0; t < entry.trusteeCount; ++t) {
            const NetTrustee& trustee = net.trustees[entry.trusteeBegin + t];
            out += Format("%s[\"#0x%08X\", %u]", t ? ", " : " ", trustee.objectID, trustee.rights);
        }
        out += " ]";
    }
}

// The children of a directory, depth first, as nested "entries" lists. An explicit stack
// keeps deep trees off the call stack.
void appendChildren(std::string& out, const Network& net, uint32_t dir)
{
    struct Frame {
        uint32_t dir;
        uint32_t next;
    };
    std::vector<Frame> stack { { dir, 0 } };
    out += ", \"entries\": [";
    while (!stack.empty()) {
        Frame& frame = stack.back();
        const NetEntry& parent = net.entries[frame.dir];
        if (frame.next == parent.childCount) {
            out += " ]";
            stack.pop_back();
            if (!stack.empty())
                out += " }";
            continue;
        }
        const uint32_t index = parent.firstChild + frame.next;
        out += frame.next++ ? ",\n" : "\n";
        const NetEntry& entry = net.entries[index];
        const bool isDirectory = (entry.flags & NetEntry::isDirectory) != 0;
        out += isDirectory ? "{ \"dir\": " : "{ \"file\": ";
        out += quotedText(net.longName(entry));
        if (Network::dosName(entry) != UpperAscii(net.longName(entry)))
            out += ", \"short\": " + quotedText(Network::dosName(entry));
        appendAttributes(out, net, entry);
        if (isDirectory && entry.childCount) {
            out += ", \"entries\": [";
            stack.push_back({ index, 0 });
        } else {
            out += " }";
        }
    }
}

} // namespace

std::string PlainNetworkText(const Network& net)
{
    std::string out = "{ \"grantwise-network\": 1,\n\"trees\": [";
    for (size_t t = 0; t < net.trees.size(); ++t) {
        const NetTree& tree = net.trees[t];
        out += (t ? ",\n" : "\n") + std::string("{ \"name\": ") + quotedText(tree.name) + ", \"objects\": [";
        for (size_t o = 0; o < tree.objects.size(); ++o)
            out += (o ? ",\n" : "\n") + std::string("{ \"name\": ") + quotedText(tree.objects[o].typedName)
                + Format(", \"id\": \"0x%08X\" }", tree.objects[o].id);
        out += " ] }";
    }
    out += " ],\n\"servers\": [";
    for (size_t s = 0; s < net.servers.size(); ++s) {
        const NetServer& server = net.servers[s];
        out += (s ? ",\n" : "\n") + std::string("{ \"name\": ") + quotedText(server.name)
            + ", \"tree\": " + quotedText(net.trees[server.tree].name) + ", \"volumes\": [";
        for (size_t v = 0; v < server.volumes.size(); ++v) {
            const NetEntry& root = net.entries[server.volumes[v].root];
            out += (v ? ",\n" : "\n") + std::string("{ \"name\": ") + quotedText(server.volumes[v].name);
            appendAttributes(out, net, root);
            if (root.childCount)
                appendChildren(out, net, server.volumes[v].root);
            out += " }";
        }
        out += " ] }";
    }
    out += " ] }\n";
    return out;
}

} // namespace bench
