#pragma once

#include "scan/ChunkedArray.h"
#include "scan/TextArena.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

/// What the walk reported at a path: a directory record, a file record, or nothing (a
/// path that only leads to reported entries, such as the server and the start path of
/// a scan of files).
enum class PathEntryType : uint8_t { NotReported = 0, Directory = 1, File = 2 };

/// Whether a path has a long form (long names): not asked yet, converted, or rejected by
/// the client library's path splitter (its lines keep their text).
enum class LongFormState : uint8_t { None, Converted, Rejected };

/// The paths of a report as a tree of nodes, each its parent and its last component
/// (the leaf): a path text is the texts of its components joined by "\", so that each
/// entry of a walk costs one node holding its own name instead of a copy of its whole
/// path. Any text is a path here: it is split at every "\" (empty components included),
/// so a node's text is exactly the text it was made from.
///
/// A node also keeps what the walk reported there (PathEntryType) and, once long names
/// ran, the path's long form. Nodes are only added; their numbers stay valid for the
/// life of the table.
class PathTable {
public:
    static constexpr uint32_t noNode = std::numeric_limits<uint32_t>::max();

    /// The node of a path text. The walk hands over its paths depth first, so the path
    /// resolved last is remembered: the components this path shares with it reuse their
    /// nodes, and only the rest are added (usually one, the entry's own name). A path met
    /// again later, after other paths, gets nodes of its own; their texts are the same.
    /// The node is given `type` unless that is NotReported. Throws std::length_error when
    /// the table cannot hold more (2^32 - 1 nodes, 1 GiB of component texts).
    uint32_t resolve(std::string_view text, PathEntryType type = PathEntryType::NotReported);

    size_t nodeCount() const noexcept { return m_nodes.size(); }
    /// The parent of a node, noNode for a first component.
    uint32_t parent(uint32_t node) const noexcept { return m_nodes[node].parent; }
    /// The node's own component.
    std::string_view leaf(uint32_t node) const noexcept;
    PathEntryType entryType(uint32_t node) const noexcept
    {
        return static_cast<PathEntryType>(m_nodes[node].leaf >> leafPositionBits);
    }

    /// Length of the node's path text.
    size_t textLength(uint32_t node) const noexcept;
    /// Appends the node's path text to out; nothing for noNode.
    void appendText(uint32_t node, std::string& out) const;

    LongFormState longFormState(uint32_t node) const noexcept;
    /// Gives a node with LongFormState None its long form (Converted), stored as the part
    /// that follows its parent's long form where the text begins with that, else whole.
    /// A node whose state is not None keeps it.
    void setLongForm(uint32_t node, std::string_view longText);
    /// Marks a node with LongFormState None as Rejected.
    void setLongFormRejected(uint32_t node);
    /// Length of a Converted node's long form.
    size_t longTextLength(uint32_t node) const noexcept;
    /// Appends a Converted node's long form to out.
    void appendLongText(uint32_t node, std::string& out) const;

    /// Bytes held, for budgets.
    size_t memoryBytes() const noexcept;

private:
    static constexpr unsigned leafPositionBits = 30;
    static constexpr uint16_t lengthOverflow = std::numeric_limits<uint16_t>::max();

    // Kept short: there is one per entry of a scan, millions of them.
    struct Node {
        uint32_t parent;
        uint32_t leaf; // position of the component in m_leaves, PathEntryType in the top 2 bits
        uint16_t textLength; // of the whole path; lengthOverflow: count it
        uint16_t leafLength; // lengthOverflow: see m_longLeaves
    };
    static_assert(sizeof(Node) == 12, "one node per reported entry");

    struct LongForm {
        uint64_t position; // of the stored text in m_longTexts
        uint32_t length; // of the stored text
        uint32_t textLength; // of the whole long form; top bit: stored after the parent's
    };
    static constexpr uint32_t relativeFlag = uint32_t(1) << 31;

    struct Reused {
        uint32_t node;
        size_t end; // where the node's text ends in m_last
    };

    uint32_t addNode(uint32_t parent, std::string_view leaf, size_t textLength);
    const LongForm* longForm(uint32_t node) const noexcept;

    ChunkedArray<Node, 14> m_nodes;
    TextArena m_leaves;
    std::unordered_map<uint32_t, size_t> m_longLeaves; // node -> length of a component of 65,535 bytes or more

    std::string m_last; // the path resolved last
    std::vector<Reused> m_lastNodes; // its nodes, first component first

    // Long forms: per node 0 (none), 1 (rejected) or 2 + index in m_longForms. Made when
    // long names first run.
    std::vector<uint32_t> m_longIndex;
    ChunkedArray<LongForm, 14> m_longForms; // in blocks: growing never copies millions of them
    TextArena m_longTexts;
    std::string m_scratch;
};
