#include "effective/DirectoryObjects.h"

#include "services/Services.h"
#include "util/CaseFold.h"
#include "util/D_Util.h"

namespace effective {

DirectoryObjects::DirectoryObjects(uint32_t connHandle, std::string treeName)
    : m_conn(connHandle)
    , m_tree(std::move(treeName))
{
    m_code = NWLib().createContext(m_context);
    if (m_code == 0)
        m_code = SetDSContext(m_context, m_tree, "[Root]");
    if (m_code == 0)
        SetContextFlag(m_context, '-', nw::ctxFlagTypeless);
}

uint32_t DirectoryObjects::idOf(const std::string& typedName, std::optional<uint32_t>& id)
{
    if (m_code != 0)
        return m_code;
    const std::string key = FoldName(typedName);
    if (auto it = m_ids.find(key); it != m_ids.end()) {
        id = it->second;
        return 0;
    }
    uint32_t found = 0;
    const uint32_t code = ObjectNameToID(m_context, m_conn, typedName, found);
    if (code != 0 && code != nw::noSuchEntry)
        return code;
    id = code == 0 ? std::optional<uint32_t>(found) : std::nullopt;
    m_ids.emplace(key, id);
    return 0;
}

uint32_t DirectoryObjects::hasObject(uint32_t id, bool& exists)
{
    if (m_code != 0)
        return m_code;
    if (auto it = m_objects.find(id); it != m_objects.end()) {
        exists = it->second;
        return 0;
    }
    std::string name;
    const uint32_t code = ObjectIDToName(m_context, m_conn, id, name);
    if (code != 0 && code != nw::noSuchEntry)
        return code;
    exists = code == 0;
    m_objects.emplace(id, exists);
    return 0;
}

uint32_t DirectoryObjects::resolveName(const std::string& written, std::string& typedName)
{
    if (m_code != 0)
        return m_code;
    const std::string name = StripLeadingDot(written);
    if (name.empty())
        return nw::noSuchEntry;
    for (const char* always : { "[Public]", "[Root]" })
        if (SameText(name, always)) {
            typedName = always;
            return 0;
        }
    uint32_t id = 0;
    const uint32_t code = ObjectNameToID(m_context, m_conn, name, id);
    if (code == 0)
        return ObjectIDToName(m_context, m_conn, id, typedName);
    if (code != nw::noSuchEntry)
        return code;
    if (!IsContainerName(name))
        return nw::noSuchEntry;
    // A container needs no object of its own: it is known when an object lies in it.
    std::vector<DSObjectItem> all;
    if (const uint32_t searched = SearchObjects(m_context, "", all))
        return searched;
    const std::string suffix = FoldName("." + name);
    for (const DSObjectItem& object : all) {
        const std::string folded = FoldName(object.name);
        if (folded.size() > suffix.size()
            && folded.compare(folded.size() - suffix.size(), suffix.size(), suffix) == 0) {
            typedName = name;
            return 0;
        }
    }
    return nw::noSuchEntry;
}

uint32_t DirectoryObjects::equivalenceSet(const std::string& typedName, EquivalenceSet& set)
{
    if (m_code != 0)
        return m_code;
    std::vector<std::string> memberOf, securityEquals;
    uint32_t code = ReadObjectValues(m_context, typedName, nw::attrGroupMembership, memberOf);
    if (code == 0)
        code = ReadObjectValues(m_context, typedName, nw::attrSecurityEquals, securityEquals);
    if (code != 0 && code != nw::noSuchEntry)
        return code;
    set = BuildEquivalenceSet(typedName, memberOf, securityEquals);
    for (EquivalentObject& member : set)
        if (const uint32_t failed = idOf(member.typedName, member.id))
            return failed;
    return 0;
}

uint32_t DirectoryObjects::users(const std::vector<DSObjectItem>*& users)
{
    if (m_code != 0)
        return m_code;
    if (!m_users) {
        std::vector<DSObjectItem> found;
        if (const uint32_t code = SearchObjects(m_context, nw::classUser, found))
            return code;
        for (const DSObjectItem& user : found)
            m_ids.emplace(FoldName(user.name), user.id);
        m_users = std::move(found);
    }
    users = &*m_users;
    return 0;
}

} // namespace effective
