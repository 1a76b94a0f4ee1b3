#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

/// The owner-name cache: the connection it belongs to and at most `limit` (name, object
/// ID) pairs, most recently used first. NameCacheFind and GetObjectNameCached (D_NW.h)
/// implement its rules; this class gives them the list operations they need without a
/// linear search: a hash index from ID to slot finds a pair, and every pair carries a
/// use stamp whose rank among the stamps (kept in a Fenwick tree) is its list position.
class NameCache {
public:
    static constexpr int limit = 1001;

    NameCache();

    /// The connection handle the pairs belong to (initially 0).
    uint32_t connHandle() const noexcept { return m_connHandle; }

    /// Empties the list and records the connection it now belongs to.
    void reset(uint32_t connHandle);

    /// Number of pairs in the list.
    int size() const noexcept { return static_cast<int>(m_byID.size()); }

    /// Index (0-based) of the first pair with this ID, -1 when there is none. When found,
    /// the pair is moved to the front. O(log n).
    int findAndMoveToFront(uint32_t objectID);

    /// The name of the pair at the front; "" when the list is empty.
    const std::string& frontName() const;

    /// Deletes the pair at the back (the least recently used); nothing when empty.
    void removeBack();

    /// Inserts (name, ID) at the front. The ID must not be in the list yet.
    void insertFront(const std::string& name, uint32_t objectID);

    /// The pairs in list order (front first). For inspection and tests; O(n log n).
    std::vector<std::pair<std::string, uint32_t>> items() const;

private:
    struct Slot {
        std::string name;
        uint32_t objectID = 0;
        uint32_t stamp = 0; // 0: slot free
    };

    void fenwickAdd(uint32_t stamp, int delta);
    int fenwickPrefix(uint32_t stamp) const; // number of live stamps <= stamp
    uint32_t fenwickFindNth(int n) const; // the n-th smallest live stamp (1-based)
    uint32_t takeStamp();
    void renumber();

    uint32_t m_connHandle = 0;
    std::vector<Slot> m_slots;
    std::vector<int> m_freeSlots;
    std::unordered_map<uint32_t, int> m_byID; // object ID -> slot
    std::vector<int> m_slotOfStamp; // stamp -> slot (-1: none)
    std::vector<int> m_fenwick; // counts of live stamps, 1-based
    uint32_t m_nextStamp = 1;
    uint32_t m_frontStamp = 0;
};
