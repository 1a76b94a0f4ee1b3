#pragma once

// What effective rights need to know of a directory-services tree, read through the
// client library: IDs of names, which IDs belong to an object, the typed name of a name
// as a user writes it, an object's equivalence set and the tree's users. Reads go
// through a context of its own (the tree, the name context [Root], typed names), so the
// window's context keeps its flags; answers are cached, since a query over thousands of
// users asks for the same groups and containers again and again.

#include "effective/EquivalenceSet.h"
#include "netware/D_NW.h"

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace effective {

class DirectoryObjects {
public:
    /// A reader of the tree treeName, with connHandle for the library calls that take
    /// one. The context is created and pointed at the tree here; code() tells whether
    /// that worked.
    DirectoryObjects(uint32_t connHandle, std::string treeName);
    DirectoryObjects(const DirectoryObjects&) = delete;
    DirectoryObjects& operator=(const DirectoryObjects&) = delete;

    /// 0 when the context is ready, otherwise the code that failed (every other call
    /// then returns it).
    uint32_t code() const noexcept { return m_code; }
    const std::string& treeName() const noexcept { return m_tree; }

    /// The ID of the object a typed name names; id stays none when no object has it.
    /// Returns 0, or the code of a lookup that failed otherwise.
    uint32_t idOf(const std::string& typedName, std::optional<uint32_t>& id);

    /// Whether an object has this ID (a deleted object's ID has none). Returns 0, or the
    /// code of a lookup that failed otherwise.
    uint32_t hasObject(uint32_t id, bool& exists);

    /// The typed name of a name as a user writes it: typeless or typed, with or without a
    /// leading ".", or a special name ([Public] and [Root] always exist). A container that
    /// is no object counts when an object of the tree lies in it. Returns nw::noSuchEntry
    /// when the tree knows no such name.
    uint32_t resolveName(const std::string& written, std::string& typedName);

    /// The equivalence set of an object given by its typed name, with the IDs of its
    /// members. A name without an object (a container) has no lists. Returns 0, or the
    /// code of a read that failed.
    uint32_t equivalenceSet(const std::string& typedName, EquivalenceSet& set);

    /// The users of the tree (objects of base class User), in the tree's order, typed
    /// names; read once and kept.
    uint32_t users(const std::vector<DSObjectItem>*& users);

private:
    uint32_t m_conn;
    std::string m_tree;
    uint32_t m_context = 0;
    uint32_t m_code = 0;
    std::unordered_map<std::string, std::optional<uint32_t>> m_ids; ///< folded typed name -> ID
    std::unordered_map<uint32_t, bool> m_objects; ///< ID -> an object has it
    std::optional<std::vector<DSObjectItem>> m_users;
};

} // namespace effective
