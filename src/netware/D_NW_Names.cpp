// D_NW: object names.

#include "netware/D_NW.h"

#include <cstring>

uint32_t ObjectIDToName(uint32_t context, uint32_t connHandle, uint32_t objectID, std::string& name)
{
    char buffer[nw::nameBufferSize];
    buffer[0] = '\0';
    const uint32_t code = NWLib().mapIDToName(context, connHandle, objectID, buffer);
    if (code == 0)
        name.assign(buffer, ::strnlen(buffer, sizeof buffer));
    else
        name.clear();
    return code;
}

std::string FormatDSName(const std::string& name)
{
    std::string out;
    AppendDSName(name, out);
    return out;
}

void AppendDSName(std::string_view name, std::string& out)
{
    if (!name.empty() && name != "[Root]" && name[0] != '.' && name[0] != '[') {
        out.reserve(out.size() + name.size() + 1);
        out += '.';
    }
    out += name;
}

std::string StripLeadingDot(const std::string& text)
{
    if (!text.empty() && text[0] == '.')
        return text.substr(1);
    return text;
}
