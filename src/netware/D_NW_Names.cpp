// D_NW: object names.

#include "netware/D_NW.h"

#include "netware/NWBufferText.h"

uint32_t ObjectIDToName(uint32_t context, uint32_t connHandle, uint32_t objectID, std::string& name)
{
    char buffer[nw::nameBufferSize];
    buffer[0] = '\0';
    const uint32_t code = NWLib().mapIDToName(context, connHandle, objectID, buffer);
    if (code == 0)
        name = NWBufferText(buffer, sizeof buffer);
    else
        name.clear();
    return code;
}

std::string FormatDSName(const std::string& name)
{
    if (!name.empty() && name != "[Root]" && name[0] != '.' && name[0] != '[')
        return "." + name;
    return name;
}

std::string StripLeadingDot(const std::string& text)
{
    if (!text.empty() && text[0] == '.')
        return text.substr(1);
    return text;
}
