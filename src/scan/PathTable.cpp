#include "scan/PathTable.h"

#include "util/D_Util.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace {

constexpr char separator = '\\';

} // namespace

uint32_t PathTable::addNode(uint32_t parent, std::string_view leaf, size_t textLength)
{
    if (m_nodes.size() >= noNode)
        throw std::length_error("path table is full");
    const uint64_t position = m_leaves.add(leaf);
    if (position >> leafPositionBits)
        throw std::length_error("path table is full");
    const auto id = static_cast<uint32_t>(m_nodes.size());
    if (leaf.size() >= lengthOverflow)
        m_longLeaves.emplace(id, leaf.size());
    m_nodes.push_back(
        { parent, static_cast<uint32_t>(position), static_cast<uint16_t>(std::min<size_t>(textLength, lengthOverflow)),
            static_cast<uint16_t>(std::min<size_t>(leaf.size(), lengthOverflow)) });
    return id;
}

uint32_t PathTable::resolve(std::string_view text, PathEntryType type)
{
    // Keep the nodes of the last path that end inside the part both texts share, at the
    // end of a component of this text.
    const size_t shared = SharedPrefixLength(text, m_last);
    while (!m_lastNodes.empty()) {
        const size_t end = m_lastNodes.back().end;
        if (end <= shared && (end == text.size() || text[end] == separator))
            break;
        m_lastNodes.pop_back();
    }
    m_last.assign(text);
    if (m_lastNodes.empty() || m_lastNodes.back().end != text.size()) {
        size_t from = m_lastNodes.empty() ? 0 : m_lastNodes.back().end + 1;
        for (;;) {
            const size_t end = std::min(text.find(separator, from), text.size());
            const uint32_t parent = m_lastNodes.empty() ? noNode : m_lastNodes.back().node;
            m_lastNodes.push_back({ addNode(parent, text.substr(from, end - from), end), end });
            if (end == text.size())
                break;
            from = end + 1;
        }
    }
    const uint32_t node = m_lastNodes.back().node;
    if (type != PathEntryType::NotReported) {
        uint32_t& leaf = m_nodes[node].leaf;
        leaf = (leaf & ((uint32_t(1) << leafPositionBits) - 1)) | uint32_t(type) << leafPositionBits;
    }
    return node;
}

std::string_view PathTable::leaf(uint32_t node) const noexcept
{
    const Node& n = m_nodes[node];
    const size_t length = n.leafLength == lengthOverflow ? m_longLeaves.find(node)->second : n.leafLength;
    return m_leaves.view(n.leaf & ((uint32_t(1) << leafPositionBits) - 1), length);
}

size_t PathTable::textLength(uint32_t node) const noexcept
{
    if (m_nodes[node].textLength != lengthOverflow)
        return m_nodes[node].textLength;
    size_t length = 0;
    for (uint32_t x = node; x != noNode; x = m_nodes[x].parent)
        length += leaf(x).size() + (m_nodes[x].parent != noNode ? 1 : 0);
    return length;
}

void PathTable::appendText(uint32_t node, std::string& out) const
{
    if (node == noNode)
        return;
    // Written from the last component back to the first, in place.
    const size_t start = out.size();
    out.resize(start + textLength(node));
    char* end = out.data() + out.size();
    for (uint32_t x = node;; x = m_nodes[x].parent) {
        const std::string_view part = leaf(x);
        end -= part.size();
        if (!part.empty())
            std::memcpy(end, part.data(), part.size());
        if (m_nodes[x].parent == noNode)
            break;
        *--end = separator;
    }
}

LongFormState PathTable::longFormState(uint32_t node) const noexcept
{
    if (node >= m_longIndex.size() || m_longIndex[node] == 0)
        return LongFormState::None;
    return m_longIndex[node] == 1 ? LongFormState::Rejected : LongFormState::Converted;
}

const PathTable::LongForm* PathTable::longForm(uint32_t node) const noexcept
{
    if (node >= m_longIndex.size() || m_longIndex[node] < 2)
        return nullptr;
    return &m_longForms[m_longIndex[node] - 2];
}

void PathTable::setLongFormRejected(uint32_t node)
{
    if (m_longIndex.size() < m_nodes.size())
        m_longIndex.resize(m_nodes.size(), 0);
    if (m_longIndex[node] == 0)
        m_longIndex[node] = 1;
}

void PathTable::setLongForm(uint32_t node, std::string_view longText)
{
    if (m_longIndex.size() < m_nodes.size())
        m_longIndex.resize(m_nodes.size(), 0);
    if (m_longIndex[node] != 0)
        return;
    if (longText.size() >= relativeFlag || m_longForms.size() >= noNode - 2)
        throw std::length_error("path table is full");
    // Below a converted parent the long form nearly always repeats the parent's and adds
    // the entry's own long name: keep only what follows.
    std::string_view stored = longText;
    uint32_t relative = 0;
    const uint32_t parent = m_nodes[node].parent;
    if (const LongForm* above = parent == noNode ? nullptr : longForm(parent)) {
        const size_t aboveLength = above->textLength & ~relativeFlag;
        if (aboveLength <= longText.size()) {
            m_scratch.clear();
            appendLongText(parent, m_scratch);
            if (longText.substr(0, aboveLength) == m_scratch) {
                stored = longText.substr(aboveLength);
                relative = relativeFlag;
            }
        }
    }
    const uint64_t position = m_longTexts.add(stored);
    m_longForms.push_back(
        { position, static_cast<uint32_t>(stored.size()), static_cast<uint32_t>(longText.size()) | relative });
    m_longIndex[node] = static_cast<uint32_t>(m_longForms.size() + 1);
}

size_t PathTable::longTextLength(uint32_t node) const noexcept
{
    const LongForm* form = longForm(node);
    return form ? form->textLength & ~relativeFlag : 0;
}

void PathTable::appendLongText(uint32_t node, std::string& out) const
{
    const LongForm* form = longForm(node);
    if (!form)
        return;
    // Written from the node's own part back to the first part stored whole, in place.
    const size_t start = out.size();
    out.resize(start + (form->textLength & ~relativeFlag));
    char* end = out.data() + out.size();
    for (uint32_t x = node;; x = m_nodes[x].parent) {
        form = longForm(x);
        end -= form->length;
        if (form->length != 0)
            std::memcpy(end, m_longTexts.view(form->position, form->length).data(), form->length);
        if (!(form->textLength & relativeFlag))
            break;
    }
}

size_t PathTable::memoryBytes() const noexcept
{
    return m_nodes.memoryBytes() + m_leaves.memoryBytes() + m_last.capacity() + m_lastNodes.capacity() * sizeof(Reused)
        + m_longIndex.capacity() * sizeof(uint32_t) + m_longForms.memoryBytes() + m_longTexts.memoryBytes();
}
