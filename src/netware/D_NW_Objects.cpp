// D_NW: what the directory-services tree knows of its objects (names to IDs, classes,
// memberships, the objects of a class).

#include "netware/D_NW.h"

#include "netware/NWBufferText.h"
#include "services/PendingMessages.h"

uint32_t ObjectNameToID(uint32_t context, uint32_t connHandle, const std::string& name, uint32_t& objectID)
{
    uint32_t id = 0;
    const uint32_t code = NWLib().mapNameToID(context, connHandle, name.c_str(), id);
    if (code == 0)
        objectID = id;
    return code;
}

uint32_t ReadObjectValues(
    uint32_t context, const std::string& objectName, const char* attributeName, std::vector<std::string>& values)
{
    NWClientLibrary& lib = NWLib();
    uint32_t iterationHandle = 0;
    char value[nw::nameBufferSize];
    while (true) {
        value[0] = '\0';
        const uint32_t code = lib.readObjectValue(context, objectName.c_str(), attributeName, iterationHandle, value);
        if (code == nw::noSuchValue)
            return 0;
        if (code != 0)
            return code;
        values.push_back(NWBufferText(value, sizeof value));
    }
}

uint32_t SearchObjects(uint32_t context, const char* className, std::vector<DSObjectItem>& objects)
{
    NWClientLibrary& lib = NWLib();
    uint32_t iterationHandle = 0;
    char name[nw::nameBufferSize];
    for (size_t found = 0;; ++found) {
        name[0] = '\0';
        uint32_t id = 0;
        const uint32_t code = lib.searchObjects(context, className, iterationHandle, name, id);
        if (code == nw::noSuchEntry)
            return 0;
        if (code != 0)
            return code;
        objects.push_back({ NWBufferText(name, sizeof name), id });
        if ((found + 1) % 4096 == 0)
            ProcessPendingMessages();
    }
}
