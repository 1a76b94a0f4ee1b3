#pragma once

// Helpers shared by the export tests and the export fuzz target (header only, no test
// framework): building a result list (ReportLines.h), splitting a save form into its lines, reading an
// XML form back with a real parser, and a model of how the command interpreter reads a
// batch line.

#include "support/ReportLines.h"

#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iconv.h>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

/// The lines of a save form; every line must end with CR LF, so a form that does not
/// end with CR LF gets a last entry "<missing CR LF>".
inline std::vector<std::string> SplitCrLf(const std::string& bytes)
{
    std::vector<std::string> lines;
    size_t from = 0;
    while (from < bytes.size()) {
        const size_t at = bytes.find("\r\n", from);
        if (at == std::string::npos) {
            lines.push_back("<missing CR LF>");
            break;
        }
        lines.push_back(bytes.substr(from, at - from));
        from = at + 2;
    }
    return lines;
}

/// One leaf element read back from an XML form: its name and text (UTF-8), and the
/// names of the elements it stands in, outermost first.
struct XmlLeaf {
    std::string name;
    std::string text;
    std::string parents;
};

/// Parses an XML form with QXmlStreamReader; error receives the parser's complaint.
inline std::vector<XmlLeaf> ParseXml(const std::string& bytes, std::string& error)
{
    std::vector<XmlLeaf> leaves;
    QXmlStreamReader reader(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    std::vector<std::string> stack;
    QString text;
    bool leaf = false;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            stack.push_back(reader.name().toString().toStdString());
            text.clear();
            leaf = true;
        } else if (reader.isCharacters()) {
            text += reader.text();
        } else if (reader.isEndElement()) {
            std::string name = stack.back();
            stack.pop_back();
            if (leaf) {
                std::string parents;
                for (const auto& p : stack)
                    parents += p + "/";
                leaves.push_back({ name, text.toStdString(), parents });
            }
            leaf = false;
        }
    }
    error = reader.hasError() ? reader.errorString().toStdString() : std::string();
    return leaves;
}

/// Exit status of 'xmllint --noout' on the bytes (0: well-formed).
inline int XmllintStatus(const std::string& bytes, const std::string& tempFile)
{
    std::ofstream(tempFile, std::ios::binary) << bytes;
    return std::system(("xmllint --noout '" + tempFile + "' 2>/dev/null").c_str());
}

/// How the command interpreter and a program using the usual C run-time rules read one
/// batch line: "%%" gives "%" and a lone "%" would expand a variable (an error here);
/// a control character is an error (it would end or change the line); REM lines are
/// remarks; outside double quotes & | < > ^ are operators and ( ) , ; are special
/// (errors here), "=" is allowed only in the "/Name=" switch; the words are split at
/// blanks outside quotes and unquoted by the C run-time rules.
struct CmdLine {
    std::string error;
    bool remark = false;
    std::string remarkText;
    std::vector<std::string> words;
};

inline CmdLine ReadBatchLine(const std::string& line)
{
    CmdLine out;
    std::string expanded;
    for (size_t i = 0; i < line.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        if (c < 0x20) {
            out.error = "control character";
            return out;
        }
        if (c == '%') {
            if (i + 1 < line.size() && line[i + 1] == '%') {
                expanded += '%';
                ++i;
                continue;
            }
            out.error = "lone percent sign";
            return out;
        }
        expanded += static_cast<char>(c);
    }
    if (expanded.rfind("REM ", 0) == 0) {
        out.remark = true;
        out.remarkText = expanded.substr(4);
        return out;
    }
    // Operators and special characters outside quotes.
    bool quoted = false;
    size_t wordStart = 0;
    for (size_t i = 0; i < expanded.size(); ++i) {
        const char c = expanded[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && c == ' ') {
            wordStart = i + 1;
        } else if (!quoted && std::string("&|<>^(),;").find(c) != std::string::npos) {
            out.error = std::string("unquoted ") + c;
            return out;
        } else if (!quoted && c == '=' && expanded.compare(wordStart, 6, "/Name=") != 0) {
            out.error = "unquoted =";
            return out;
        }
    }
    if (quoted) {
        out.error = "unbalanced quotes";
        return out;
    }
    // C run-time word splitting.
    std::string word;
    bool inWord = false;
    quoted = false;
    for (size_t i = 0; i < expanded.size();) {
        const char c = expanded[i];
        if (c == '\\') {
            size_t n = 0;
            while (i < expanded.size() && expanded[i] == '\\') {
                ++n;
                ++i;
            }
            if (i < expanded.size() && expanded[i] == '"') {
                word.append(n / 2, '\\');
                if (n % 2 == 1) {
                    word += '"';
                    ++i;
                }
            } else {
                word.append(n, '\\');
            }
            inWord = true;
            continue;
        }
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (c == ' ' && !quoted) {
            if (inWord)
                out.words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
        ++i;
    }
    if (inWord)
        out.words.push_back(word);
    return out;
}

/// Converts text between two encodings with the C library's converter; false when a
/// character has no place in the target.
inline bool ConvertEncoding(const std::string& text, const char* from, const char* to, std::string& out)
{
    out.clear();
    const iconv_t converter = iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1))
        return false;
    std::string in = text;
    char* inPtr = in.data();
    size_t inLeft = in.size();
    bool ok = true;
    while (inLeft > 0 && ok) {
        char buffer[256];
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        const size_t done = iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft);
        out.append(buffer, sizeof buffer - outLeft);
        ok = done != static_cast<size_t>(-1) || errno == E2BIG;
    }
    iconv_close(converter);
    return ok;
}

/// True when code page 850 holds every character of a UTF-8 text.
inline bool InCodePage850(const std::string& utf8)
{
    std::string bytes;
    return ConvertEncoding(utf8, "UTF-8", "CP850", bytes);
}

/// A batch form read as cmd.exe reads it: a form that starts with 'CHCP 850 >NUL' is in
/// code page 850 from there on, and is given back in UTF-8 without that line; any other
/// form is given back as it is.
inline std::string BatchFormAsUtf8(const std::string& bytes)
{
    const std::string chcp = "CHCP 850 >NUL\r\n";
    if (bytes.rfind(chcp, 0) != 0)
        return bytes;
    std::string utf8;
    ConvertEncoding(bytes.substr(chcp.size()), "CP850", "UTF-8", utf8);
    return utf8;
}
