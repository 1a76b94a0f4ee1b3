#include "scan/ReportList.h"

#include "netware/D_NW.h"
#include "scan/LineKinds.h"

#include <algorithm>
#include <bit>
#include <stdexcept>

namespace {

// The slot's row field: 0 separator, 1..5 the settings codes 10..14, 6..9 the codes
// 15..18, then the two rows of the list by trustee.
constexpr uint64_t separatorSlot = 0;
constexpr uint64_t pathSlot = 6;
constexpr uint64_t trusteeSlot = 7;
constexpr uint64_t ownerSlot = 8;
constexpr uint64_t irmSlot = 9;
constexpr uint64_t headerSlot = 10;
constexpr uint64_t detailSlot = 11;
constexpr unsigned rowBits = 4;
constexpr uint64_t longFlag = uint64_t(1) << rowBits;
constexpr unsigned rightsShift = 5;
constexpr unsigned refShift = 21;

uint64_t pack(uint64_t row, bool longForm, uint16_t rights, uint32_t ref) noexcept
{
    return row | (longForm ? longFlag : 0) | uint64_t(rights) << rightsShift | uint64_t(ref) << refShift;
}

uint16_t rightsOf(uint64_t slot) noexcept
{
    return static_cast<uint16_t>(slot >> rightsShift);
}

uint32_t refOf(uint64_t slot) noexcept
{
    return static_cast<uint32_t>(slot >> refShift);
}

// The length of what appendRights appends.
size_t rightsTextLength(uint16_t rights, bool places) noexcept
{
    constexpr size_t letterPlaces = std::popcount(fileSystemRightsBits);
    return 2 + (places ? letterPlaces : static_cast<size_t>(std::popcount(rights & fileSystemRightsBits)));
}

std::string_view label(int32_t code) noexcept
{
    return FindLineKind(code)->label;
}

// Appends the rights letters in brackets: only the letters held, or (`places`) one
// place per letter with a blank for each right not held.
void appendRights(std::string& out, uint16_t rights, bool places)
{
    out += '[';
    AppendFileSystemRights(rights, out, places ? ' ' : '\0');
    out += ']';
}

} // namespace

ReportList::Tables& ReportList::tables()
{
    if (!m_tables)
        m_tables = std::make_shared<Tables>();
    return *m_tables;
}

PathTable& ReportList::paths()
{
    return tables().paths;
}

const PathTable& ReportList::paths() const noexcept
{
    static const PathTable none;
    return m_tables ? m_tables->paths : none;
}

NameTable& ReportList::names()
{
    return tables().names;
}

const NameTable& ReportList::names() const noexcept
{
    static const NameTable none;
    return m_tables ? m_tables->names : none;
}

void ReportList::shareTables(const ReportList& other)
{
    if (!empty())
        throw std::logic_error("ReportList::shareTables: the list holds lines");
    m_tables = other.m_tables;
}

void ReportList::push(uint64_t slot, size_t textLength)
{
    m_slots.push_back(slot);
    m_textBytes += textLength;
    m_widestText = std::max(m_widestText, textLength);
}

void ReportList::appendSeparator()
{
    push(separatorSlot, 0);
}

void ReportList::appendSetting(int32_t code, std::string_view value)
{
    if (code < lkBase || code > lkFilter)
        throw std::invalid_argument("not a settings line's kind code: " + std::to_string(code));
    const uint64_t position = m_settingTexts.add(value);
    m_settings.push_back({ position, value.size() });
    const uint64_t row = static_cast<uint64_t>(code - lkBase + 1);
    push(row | uint64_t(m_settings.size() - 1) << rowBits, label(code).size() + value.size());
}

uint32_t ReportList::appendPathLine(std::string_view text, PathEntryType type)
{
    const uint32_t node = paths().resolve(text, type);
    push(pack(pathSlot, false, 0, node), text.size());
    return node;
}

void ReportList::appendPath(uint32_t node)
{
    push(pack(pathSlot, false, 0, node), paths().textLength(node));
}

void ReportList::appendTrustee(uint32_t name, uint16_t rights)
{
    push(pack(trusteeSlot, false, rights, name),
        label(lkTrustee).size() + names().name(name).size() + 1 + rightsTextLength(rights, false));
}

void ReportList::appendOwner(uint32_t name)
{
    push(pack(ownerSlot, false, 0, name), label(lkOwner).size() + ownerValue(name).size());
}

void ReportList::appendIrm(uint8_t mask)
{
    push(pack(irmSlot, false, mask, 0), label(lkIrm).size() + rightsTextLength(mask, true));
}

void ReportList::appendTrusteeHeader(uint32_t name)
{
    push(pack(headerSlot, false, 0, name), trusteeHeaderLabel.size() + names().name(name).size() + 1);
}

void ReportList::appendTrusteeDetail(uint32_t node, bool longForm, uint16_t rights)
{
    // The long form only where the node has one, so that the row's text never changes.
    longForm = longForm && node != PathTable::noNode && paths().longFormState(node) == LongFormState::Converted;
    push(pack(detailSlot, longForm, rights, node),
        lineIndent.size() + pathTextLength(node, longForm) + 1 + rightsTextLength(rights, false));
}

ReportLine ReportList::line(size_t index) const noexcept
{
    const uint64_t slot = m_slots[index];
    ReportLine line;
    switch (slot & ((uint64_t(1) << rowBits) - 1)) {
    case separatorSlot:
        break;
    case pathSlot:
        line.row = ReportRow::Path;
        line.code = lkPath;
        line.node = refOf(slot);
        line.longForm = slot & longFlag;
        break;
    case trusteeSlot:
        line.row = ReportRow::Trustee;
        line.code = lkTrustee;
        line.name = refOf(slot);
        line.rights = rightsOf(slot);
        break;
    case ownerSlot:
        line.row = ReportRow::Owner;
        line.code = lkOwner;
        line.name = refOf(slot);
        break;
    case irmSlot:
        line.row = ReportRow::Irm;
        line.code = lkIrm;
        line.rights = rightsOf(slot);
        break;
    case headerSlot:
        line.row = ReportRow::TrusteeHeader;
        line.name = refOf(slot);
        break;
    case detailSlot:
        line.row = ReportRow::TrusteeDetail;
        line.node = refOf(slot);
        line.longForm = slot & longFlag;
        line.rights = rightsOf(slot);
        break;
    default: { // settings
        const Setting& setting = m_settings[slot >> rowBits];
        line.row = ReportRow::Setting;
        line.code = static_cast<int32_t>(slot & ((uint64_t(1) << rowBits) - 1)) + lkBase - 1;
        line.value = m_settingTexts.view(setting.position, setting.length);
        break;
    }
    }
    return line;
}

int32_t ReportList::code(size_t index) const noexcept
{
    const uint64_t row = m_slots[index] & ((uint64_t(1) << rowBits) - 1);
    return row == separatorSlot || row >= headerSlot ? 0 : static_cast<int32_t>(row) + lkBase - 1;
}

size_t ReportList::pathTextLength(uint32_t node, bool longForm) const noexcept
{
    if (node == PathTable::noNode)
        return 0;
    const PathTable& table = paths();
    return longForm && table.longFormState(node) == LongFormState::Converted ? table.longTextLength(node)
                                                                             : table.textLength(node);
}

void ReportList::appendPathText(uint32_t node, bool longForm, std::string& out) const
{
    if (node == PathTable::noNode)
        return;
    const PathTable& table = paths();
    if (longForm && table.longFormState(node) == LongFormState::Converted)
        table.appendLongText(node, out);
    else
        table.appendText(node, out);
}

void ReportList::appendText(size_t index, std::string& out, PathTextCache* cache) const
{
    const auto appendPath = [&](uint32_t node, bool longForm) {
        if (cache) {
            cache->take(*this, node, longForm);
            out += cache->text();
        } else {
            appendPathText(node, longForm, out);
        }
    };
    const ReportLine l = line(index);
    switch (l.row) {
    case ReportRow::Separator:
        break;
    case ReportRow::Setting:
        out += label(l.code);
        out += l.value;
        break;
    case ReportRow::Path:
        appendPath(l.node, l.longForm);
        break;
    case ReportRow::Trustee:
        out += label(lkTrustee);
        out += names().name(l.name);
        out += ' ';
        appendRights(out, l.rights, false);
        break;
    case ReportRow::Owner:
        out += label(lkOwner);
        out += ownerValue(l.name);
        break;
    case ReportRow::Irm:
        out += label(lkIrm);
        appendRights(out, l.rights, true);
        break;
    case ReportRow::TrusteeHeader:
        out += trusteeHeaderLabel;
        out += names().name(l.name);
        out += ' ';
        break;
    case ReportRow::TrusteeDetail:
        out += lineIndent;
        appendPath(l.node, l.longForm);
        out += ' ';
        appendRights(out, l.rights, false);
        break;
    }
}

std::string_view ReportList::ownerValue(uint32_t name) const noexcept
{
    return name == NameTable::noName ? ownerNotKnown : names().name(name);
}

std::string ReportList::text(size_t index) const
{
    std::string out;
    appendText(index, out);
    return out;
}

void ReportList::showLongForm(size_t index)
{
    const uint64_t slot = m_slots[index];
    if ((slot & ((uint64_t(1) << rowBits) - 1)) != pathSlot || (slot & longFlag))
        return;
    const uint32_t node = refOf(slot);
    if (paths().longFormState(node) != LongFormState::Converted)
        return;
    const size_t longLength = pathTextLength(node, true);
    m_textBytes = m_textBytes - pathTextLength(node, false) + longLength;
    m_widestText = std::max(m_widestText, longLength);
    m_slots[index] = slot | longFlag;
}

void ReportList::clear() noexcept
{
    m_slots.clear();
    std::vector<Setting>().swap(m_settings);
    m_settingTexts.clear();
    m_tables.reset();
    m_textBytes = 0;
    m_widestText = 0;
}

size_t ReportList::memoryBytes() const noexcept
{
    size_t bytes = m_slots.memoryBytes() + m_settings.capacity() * sizeof(Setting) + m_settingTexts.memoryBytes();
    if (m_tables)
        bytes += m_tables->paths.memoryBytes() + m_tables->names.memoryBytes();
    return bytes;
}

bool PathTextCache::take(const ReportList& list, uint32_t node, bool longForm)
{
    const PathTable& table = list.paths();
    if (m_table == &table && node == m_node && longForm == m_longForm)
        return false;
    // Below or beside the last path, in the short form: its text up to the parent stays.
    bool extended = false;
    if (m_table == &table && !longForm && !m_longForm && node != PathTable::noNode && m_node != PathTable::noNode) {
        const uint32_t parent = table.parent(node);
        if (parent != PathTable::noNode && (parent == m_node || parent == table.parent(m_node))) {
            m_text.resize(table.textLength(parent));
            m_text += '\\';
            m_text += table.leaf(node);
            extended = true;
        }
    }
    if (!extended) {
        m_text.clear();
        list.appendPathText(node, longForm, m_text);
    }
    m_table = &table;
    m_node = node;
    m_longForm = longForm;
    return true;
}
