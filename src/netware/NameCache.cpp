#include "netware/NameCache.h"

#include <algorithm>

namespace {
// Stamps are handed out upwards; when they run out, the live ones are renumbered 1..n.
constexpr uint32_t stampCapacity = 4 * NameCache::limit;
} // namespace

NameCache::NameCache()
    : m_slots(limit)
    , m_slotOfStamp(stampCapacity + 1, -1)
    , m_fenwick(stampCapacity + 1, 0)
{
    reset(0);
}

void NameCache::reset(uint32_t connHandle)
{
    m_connHandle = connHandle;
    for (auto& slot : m_slots)
        slot = Slot();
    m_freeSlots.clear();
    for (int i = limit - 1; i >= 0; --i)
        m_freeSlots.push_back(i);
    m_byID.clear();
    std::fill(m_slotOfStamp.begin(), m_slotOfStamp.end(), -1);
    std::fill(m_fenwick.begin(), m_fenwick.end(), 0);
    m_nextStamp = 1;
    m_frontStamp = 0;
}

void NameCache::fenwickAdd(uint32_t stamp, int delta)
{
    for (uint32_t i = stamp; i <= stampCapacity; i += i & (~i + 1))
        m_fenwick[i] += delta;
}

int NameCache::fenwickPrefix(uint32_t stamp) const
{
    int sum = 0;
    for (uint32_t i = stamp; i > 0; i -= i & (~i + 1))
        sum += m_fenwick[i];
    return sum;
}

uint32_t NameCache::fenwickFindNth(int n) const
{
    uint32_t pos = 0;
    uint32_t step = 1;
    while (step * 2 <= stampCapacity)
        step *= 2;
    for (; step > 0; step /= 2) {
        if (pos + step <= stampCapacity && m_fenwick[pos + step] < n) {
            pos += step;
            n -= m_fenwick[pos];
        }
    }
    return pos + 1;
}

void NameCache::renumber()
{
    std::vector<int> order;
    for (const auto& [id, slot] : m_byID)
        order.push_back(slot);
    std::sort(order.begin(), order.end(), [this](int a, int b) { return m_slots[a].stamp < m_slots[b].stamp; });
    std::fill(m_slotOfStamp.begin(), m_slotOfStamp.end(), -1);
    std::fill(m_fenwick.begin(), m_fenwick.end(), 0);
    m_nextStamp = 1;
    for (int slot : order) {
        m_slots[slot].stamp = m_nextStamp;
        m_slotOfStamp[m_nextStamp] = slot;
        fenwickAdd(m_nextStamp, 1);
        ++m_nextStamp;
    }
    m_frontStamp = order.empty() ? 0 : m_nextStamp - 1;
}

uint32_t NameCache::takeStamp()
{
    if (m_nextStamp > stampCapacity)
        renumber();
    return m_nextStamp++;
}

int NameCache::findAndMoveToFront(uint32_t objectID)
{
    auto it = m_byID.find(objectID);
    if (it == m_byID.end())
        return -1;
    const int slot = it->second;
    if (m_nextStamp > stampCapacity)
        renumber(); // before the pair's stamp is read, so the renumbering cannot move it
    const uint32_t old = m_slots[slot].stamp;
    // Position = number of pairs used more recently than this one.
    const int index = size() - fenwickPrefix(old);
    if (old == m_frontStamp)
        return index;
    fenwickAdd(old, -1);
    m_slotOfStamp[old] = -1;
    m_slots[slot].stamp = 0;
    const uint32_t stamp = takeStamp();
    m_slots[slot].stamp = stamp;
    m_slotOfStamp[stamp] = slot;
    fenwickAdd(stamp, 1);
    m_frontStamp = stamp;
    return index;
}

const std::string& NameCache::frontName() const
{
    static const std::string empty;
    if (m_frontStamp == 0)
        return empty;
    return m_slots[m_slotOfStamp[m_frontStamp]].name;
}

void NameCache::removeBack()
{
    if (m_byID.empty())
        return;
    const uint32_t stamp = fenwickFindNth(1);
    const int slot = m_slotOfStamp[stamp];
    fenwickAdd(stamp, -1);
    m_slotOfStamp[stamp] = -1;
    m_byID.erase(m_slots[slot].objectID);
    m_slots[slot] = Slot();
    m_freeSlots.push_back(slot);
    if (stamp == m_frontStamp)
        m_frontStamp = 0;
}

void NameCache::insertFront(const std::string& name, uint32_t objectID)
{
    if (m_freeSlots.empty())
        removeBack(); // never needed by the documented callers, which make room first
    const int slot = m_freeSlots.back();
    m_freeSlots.pop_back();
    // Take the stamp before the slot is live: a renumbering must not see a half-made pair.
    const uint32_t stamp = takeStamp();
    m_slots[slot].name = name;
    m_slots[slot].objectID = objectID;
    m_slots[slot].stamp = stamp;
    m_slotOfStamp[stamp] = slot;
    fenwickAdd(stamp, 1);
    m_byID[objectID] = slot;
    m_frontStamp = stamp;
}

std::vector<std::pair<std::string, uint32_t>> NameCache::items() const
{
    std::vector<int> order;
    for (const auto& [id, slot] : m_byID)
        order.push_back(slot);
    std::sort(order.begin(), order.end(), [this](int a, int b) { return m_slots[a].stamp > m_slots[b].stamp; });
    std::vector<std::pair<std::string, uint32_t>> out;
    for (int slot : order)
        out.emplace_back(m_slots[slot].name, m_slots[slot].objectID);
    return out;
}
