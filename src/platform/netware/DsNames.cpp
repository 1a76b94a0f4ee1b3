#include "platform/netware/DsNames.h"

#include "util/CaseFold.h"
#include "util/D_Util.h"

namespace {

const char* const specialNames[] = { "[Public]", "[Root]", "[Supervisor]" };
const char* const knownTypes[] = { "CN", "OU", "O", "C" };

std::string join(const std::vector<DsName::Part>& parts, size_t count, bool typed)
{
    std::string out;
    for (size_t i = 0; i < count; ++i) {
        if (i)
            out += '.';
        if (typed)
            out += parts[i].type + "=";
        out += parts[i].value;
    }
    return out;
}

} // namespace

bool DsName::isRoot() const noexcept
{
    return special == "[Root]";
}

bool DsName::isContainer() const noexcept
{
    return !parts.empty() && (parts.front().type == "O" || parts.front().type == "OU");
}

std::string DsName::typed() const
{
    return isSpecial() ? special : join(parts, parts.size(), true);
}

std::string DsName::typeless() const
{
    return isSpecial() ? special : join(parts, parts.size(), false);
}

std::string DsName::key() const
{
    return FoldName(typed());
}

std::string ParseDsName(std::string_view text, DsName& name, DsNameKind kind)
{
    name = DsName();
    if (text.empty())
        return "the name is empty";
    if (text.size() > 255)
        return "the name is longer than 255 characters";
    if (text.front() == '[') {
        for (const char* special : specialNames)
            if (SameName(text, special)) {
                name.special = special;
                return "";
            }
        return "unknown special name '" + std::string(text) + "' (known: [Public], [Root], [Supervisor])";
    }
    if (text.front() == '.')
        return "the name must not begin with '.'";
    std::vector<std::string_view> pieces;
    size_t start = 0;
    while (true) {
        const size_t dot = text.find('.', start);
        pieces.push_back(text.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start));
        if (dot == std::string_view::npos)
            break;
        start = dot + 1;
    }
    for (size_t i = 0; i < pieces.size(); ++i) {
        std::string_view piece = pieces[i];
        DsName::Part part;
        const size_t eq = piece.find('=');
        if (eq != std::string_view::npos) {
            part.type = UpperAscii(piece.substr(0, eq));
            part.value = std::string(piece.substr(eq + 1));
            bool known = false;
            for (const char* type : knownTypes)
                known = known || part.type == type;
            if (!known)
                return "unknown name type '" + std::string(piece.substr(0, eq)) + "=' (known: CN, OU, O, C)";
        } else {
            part.value = std::string(piece);
            if (kind == DsNameKind::Object && i == 0)
                part.type = "CN";
            else if (i + 1 == pieces.size())
                part.type = "O";
            else
                part.type = "OU";
        }
        if (part.value.empty() || part.value.find('=') != std::string::npos)
            return "the name '" + std::string(text) + "' has an empty or malformed part";
        name.parts.push_back(std::move(part));
    }
    return "";
}

std::string RelativeDsName(const DsName& object, const DsName& context, bool typeless)
{
    if (object.isSpecial())
        return object.special;
    const std::string full = typeless ? object.typeless() : object.typed();
    if (context.isSpecial() || context.parts.empty())
        return full;
    const size_t own = object.parts.size();
    const size_t ctx = context.parts.size();
    bool below = own > ctx;
    for (size_t i = 0; below && i < ctx; ++i) {
        const DsName::Part& a = object.parts[own - ctx + i];
        const DsName::Part& b = context.parts[i];
        below = a.type == b.type && SameName(a.value, b.value);
    }
    if (!below)
        return "." + full;
    return join(object.parts, own - ctx, !typeless);
}
