#include "export/SavedXmlScan.h"

#include "export/AuditReport.h"
#include "export/XmlText.h"
#include "util/Utf8.h"

#include <QIODevice>

#include <array>
#include <string>
#include <string_view>

namespace {

// The declaration every Grantwise version has written; a file with another one goes to
// the full reader.
constexpr std::string_view declaration = R"(<?xml version="1.0" encoding="windows-1252" standalone="yes"?>)";
constexpr size_t readPiece = size_t(1) << 20;
// No element Grantwise writes comes near this; the full reader takes a longer one, so
// that the quick one never holds much more than a piece of the file.
constexpr size_t maxElementBytes = size_t(16) << 20;

bool isBlank(char c) noexcept
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The bytes of a text that need more than copying: a reference, a byte of the code
// page's upper half, and what the full reader changes or refuses (a carriage return,
// which XML turns into a line feed; the control characters; '>', which may end "]]>").
constexpr std::array<bool, 256> specialBytes = [] {
    std::array<bool, 256> table {};
    for (int b = 0; b < 0x20; ++b)
        table[b] = b != '\t' && b != '\n';
    table['&'] = true;
    table['>'] = true;
    for (int b = 0x80; b < 0x100; ++b)
        table[b] = true;
    return table;
}();

// A character XML 1.0 allows, as a character reference may name it.
bool isXmlChar(uint32_t c) noexcept
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
        || (c >= 0x10000 && c <= 0x10FFFF);
}

// The character of a numeric reference's digits ("#321", "#x141"); 0 when they are not one.
uint32_t referencedChar(std::string_view ref) noexcept
{
    const bool hex = ref.size() > 2 && ref[1] == 'x';
    const size_t first = hex ? 2 : 1;
    if (ref.size() <= first)
        return 0;
    uint32_t value = 0;
    for (size_t i = first; i < ref.size(); ++i) {
        const char c = ref[i];
        uint32_t digit = 0;
        if (c >= '0' && c <= '9')
            digit = static_cast<uint32_t>(c - '0');
        else if (hex && c >= 'a' && c <= 'f')
            digit = static_cast<uint32_t>(c - 'a' + 10);
        else if (hex && c >= 'A' && c <= 'F')
            digit = static_cast<uint32_t>(c - 'A' + 10);
        else
            return 0;
        value = value * (hex ? 16 : 10) + digit;
        if (value > 0x10FFFF)
            return 0;
    }
    return isXmlChar(value) ? value : 0;
}

// The text of an element as UTF-8: the bytes themselves when they need no change (the
// usual case), else decoded into scratch. False for anything the full reader must judge.
bool decodeText(std::string_view raw, std::string& scratch, std::string_view& text)
{
    size_t at = 0;
    while (at < raw.size() && !specialBytes[static_cast<unsigned char>(raw[at])])
        ++at;
    if (at == raw.size()) {
        text = raw;
        return true;
    }
    scratch.assign(raw.substr(0, at));
    while (at < raw.size()) {
        const auto b = static_cast<unsigned char>(raw[at]);
        if (!specialBytes[b]) {
            scratch += static_cast<char>(b);
            ++at;
            continue;
        }
        if (b >= 0x80) {
            const char16_t c = Windows1252Char(b);
            if (c < 0xA0)
                return false; // one of the bytes the code page leaves undefined
            AppendUtf8(scratch, c);
            ++at;
            continue;
        }
        if (b != '&')
            return false;
        const size_t end = raw.find(';', at);
        if (end == std::string_view::npos)
            return false;
        const std::string_view ref = raw.substr(at + 1, end - at - 1);
        if (ref == "amp")
            scratch += '&';
        else if (ref == "lt")
            scratch += '<';
        else if (ref == "gt")
            scratch += '>';
        else if (ref == "quot")
            scratch += '"';
        else if (ref == "apos" || ref == "acute")
            scratch += '\''; // "&acute;": what older writers put for an apostrophe
        else if (const uint32_t c = !ref.empty() && ref[0] == '#' ? referencedChar(ref) : 0; c != 0)
            AppendUtf8(scratch, c);
        else
            return false;
        at = end + 1;
    }
    text = scratch;
    return true;
}

// The inside of one line element, read from its front.
class ElementBody {
public:
    explicit ElementBody(std::string_view body)
        : m_rest(body)
    {
    }

    // The text of the child element `name` that must come next (blanks before it).
    bool child(std::string_view name, std::string& scratch, std::string_view& text)
    {
        std::string_view found;
        return nextChild(found) && found == name && childText(name, scratch, text);
    }

    // The name of the next child element (blanks before it); the reader stands on its text.
    bool nextChild(std::string_view& name)
    {
        blanks();
        if (m_rest.size() < 3 || m_rest[0] != '<')
            return false;
        const size_t close = m_rest.find('>');
        if (close == std::string_view::npos)
            return false;
        name = m_rest.substr(1, close - 1);
        for (const char c : name)
            if (!(c >= 'a' && c <= 'z'))
                return false; // an end tag, markup, an attribute or an empty element
        m_rest.remove_prefix(close + 1);
        return !name.empty();
    }

    // The text of the child element `name` the reader stands in, and its end tag.
    bool childText(std::string_view name, std::string& scratch, std::string_view& text)
    {
        const size_t lt = m_rest.find('<');
        if (lt == std::string_view::npos || !decodeText(m_rest.substr(0, lt), scratch, text))
            return false;
        m_rest.remove_prefix(lt);
        if (m_rest.size() < name.size() + 3 || m_rest.substr(0, 2) != "</" || m_rest.substr(2, name.size()) != name
            || m_rest[name.size() + 2] != '>')
            return false;
        m_rest.remove_prefix(name.size() + 3);
        return true;
    }

    // Nothing but blanks is left.
    bool ended()
    {
        blanks();
        return m_rest.empty();
    }

private:
    void blanks()
    {
        while (!m_rest.empty() && isBlank(m_rest.front()))
            m_rest.remove_prefix(1);
    }

    std::string_view m_rest;
};

// The quick reader of one source: reads it in pieces and takes one line element at a
// time as a whole, so that an element is never cut by the end of a piece.
class Scanner {
public:
    Scanner(QIODevice& source, AuditReport& report)
        : m_source(source)
        , m_report(report)
    {
    }

    bool run()
    {
        if (!take(declaration))
            return false;
        skipBlanks();
        if (!take("<document>"))
            return false;
        bool inBlock = false;
        for (;;) {
            if (!skipBlanks())
                return false; // the document ends inside <document>
            if (take("<grantwise>")) {
                if (inBlock)
                    return false;
                inBlock = true;
            } else if (take("</grantwise>")) {
                if (!inBlock)
                    return false;
                inBlock = false;
            } else if (take("</document>")) {
                if (inBlock)
                    return false;
                break;
            } else if (!lineElement()) {
                return false;
            }
        }
        // After the document only blanks, up to the end of a source read without error.
        return !skipBlanks() && !m_readFailed;
    }

private:
    // One settings, trustee, owner or irm element.
    bool lineElement()
    {
        static constexpr std::array<std::string_view, 4> names { "settings", "trustee", "owner", "irm" };
        for (const std::string_view name : names) {
            if (!startsWithTag(name))
                continue;
            std::string close = "</";
            close += name;
            close += '>';
            size_t end = 0;
            if (!find(close, end))
                return false;
            ElementBody body(std::string_view(m_buffer).substr(m_at + name.size() + 2, end - name.size() - 2));
            m_at += end + close.size();
            return name == "settings" ? settings(body) : detail(name, body);
        }
        return false;
    }

    bool settings(ElementBody& body)
    {
        std::string_view setting;
        std::string_view value;
        if (!body.nextChild(setting) || !body.childText(setting, m_value, value) || !body.ended())
            return false;
        return AddSavedSetting(m_report, setting, value);
    }

    bool detail(std::string_view name, ElementBody& body)
    {
        std::string_view path;
        std::string_view rights;
        std::string_view who;
        if (!body.child("path", m_path, path))
            return false;
        if (name == "trustee") {
            if (!body.child("rights", m_value, rights) || !body.child("name", m_name, who) || !body.ended())
                return false;
            m_report.add(AuditDetail::Trustee, path, who, rights);
        } else if (name == "owner") {
            if (!body.child("name", m_name, who) || !body.ended())
                return false;
            m_report.add(AuditDetail::Owner, path, {}, who);
        } else {
            if (!body.child("rights", m_value, rights) || !body.ended())
                return false;
            m_report.add(AuditDetail::Irm, path, {}, rights);
        }
        return true;
    }

    // Reads the next piece of the source behind what is held, first dropping what was
    // taken; false at the end of the source or when reading fails.
    bool fill()
    {
        if (m_ended)
            return false;
        m_buffer.erase(0, m_at);
        m_at = 0;
        const size_t held = m_buffer.size();
        m_buffer.resize(held + readPiece);
        const qint64 got = m_source.read(m_buffer.data() + held, static_cast<qint64>(readPiece));
        m_buffer.resize(held + static_cast<size_t>(got > 0 ? got : 0));
        if (got <= 0) {
            m_ended = true;
            m_readFailed = got < 0;
        }
        return got > 0;
    }

    // True when `count` bytes are held from the reading place (reading on as needed).
    bool ensure(size_t count)
    {
        while (m_buffer.size() - m_at < count)
            if (!fill())
                return false;
        return true;
    }

    // Skips blanks; true when a byte that is not one follows.
    bool skipBlanks()
    {
        for (;;) {
            while (m_at < m_buffer.size() && isBlank(m_buffer[m_at]))
                ++m_at;
            if (m_at < m_buffer.size())
                return true;
            if (!fill())
                return false;
        }
    }

    // Takes `text` when it comes next.
    bool take(std::string_view text)
    {
        if (!ensure(text.size()) || std::string_view(m_buffer).substr(m_at, text.size()) != text)
            return false;
        m_at += text.size();
        return true;
    }

    // True when the start tag "<name>" comes next.
    bool startsWithTag(std::string_view name)
    {
        if (!ensure(name.size() + 2))
            return false;
        const std::string_view next = std::string_view(m_buffer).substr(m_at, name.size() + 2);
        return next[0] == '<' && next.substr(1, name.size()) == name && next.back() == '>';
    }

    // The offset from the reading place at which `text` first occurs, reading on as needed.
    bool find(std::string_view text, size_t& offset)
    {
        size_t from = 0;
        for (;;) {
            const size_t at = std::string_view(m_buffer).substr(m_at).find(text, from);
            if (at != std::string_view::npos) {
                offset = at;
                return true;
            }
            const size_t held = m_buffer.size() - m_at;
            from = held >= text.size() ? held - text.size() + 1 : 0;
            if (held > maxElementBytes || !fill())
                return false;
        }
    }

    QIODevice& m_source;
    AuditReport& m_report;
    std::string m_buffer; // the source's bytes from the last piece's start on
    size_t m_at = 0; // the reading place in m_buffer
    bool m_ended = false;
    bool m_readFailed = false;
    std::string m_path, m_name, m_value; // decoded texts of the element being read
};

} // namespace

bool ScanSavedXml(QIODevice& source, AuditReport& report)
{
    return Scanner(source, report).run();
}
