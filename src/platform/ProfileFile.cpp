#include "platform/ProfileFile.h"

#include "platform/RegularFile.h"
#include "util/Utf8.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdlib>

namespace {

QString qPath(const std::string& path)
{
    return QString::fromStdString(path);
}

// UTF-16 text with a byte-order mark (what Windows' profile functions read and write
// as Unicode) as the UTF-8 the INI engine works on. False when the bytes are not
// well-formed UTF-16 (an odd byte count, a surrogate without its partner): such a
// file could not be written back as it was.
bool decodeUtf16(std::string_view bytes, bool bigEndian, std::string& utf8)
{
    if (bytes.size() % 2 != 0)
        return false;
    std::u16string units(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i) {
        const auto b0 = static_cast<unsigned char>(bytes[2 * i]);
        const auto b1 = static_cast<unsigned char>(bytes[2 * i + 1]);
        units[i] = static_cast<char16_t>(bigEndian ? (b0 << 8 | b1) : (b1 << 8 | b0));
    }
    for (size_t i = 0; i < units.size(); ++i) {
        const char16_t u = units[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF)
            ++i;
        else if (u >= 0xD800 && u <= 0xDFFF)
            return false;
    }
    utf8 = QString::fromUtf16(units.data(), static_cast<qsizetype>(units.size())).toStdString();
    return true;
}

std::string encodeUtf16(const std::string& utf8, bool bigEndian)
{
    const QString text = QString::fromStdString(utf8);
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    bytes.reserve(2 + 2 * static_cast<size_t>(text.size()));
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const char high = static_cast<char>(u >> 8);
        const char low = static_cast<char>(u & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

} // namespace

std::string ProfileFile::ResolvePath(const std::string& fileName)
{
    if (fileName.find('/') != std::string::npos)
        return fileName;
    // The XDG base-directory rule: a relative or empty $XDG_CONFIG_HOME is ignored.
    std::string folder;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/')
        folder = xdg;
    else
        folder = QDir::homePath().toStdString() + "/.config";
    return folder + "/" + fileName;
}

ProfileFile::ProfileFile(const std::string& fileName)
    : m_path(ResolvePath(fileName))
{
    RegularFileRead read = ReadRegularFile(m_path, maxBytes);
    if (read.missing)
        return;
    if (!read.ok) {
        m_state = LoadState::Unreadable;
        m_loadError = read.error;
        return;
    }
    try {
        m_original = std::move(read.bytes);
        std::string_view text = m_original;
        std::string decoded;
        if (text.substr(0, 2) == "\xFF\xFE" || text.substr(0, 2) == "\xFE\xFF") {
            m_encoding = text[0] == '\xFF' ? Encoding::Utf16LE : Encoding::Utf16BE;
            if (!decodeUtf16(text.substr(2), m_encoding == Encoding::Utf16BE, decoded)) {
                m_original.clear();
                m_state = LoadState::Unreadable;
                m_loadError = "not well-formed UTF-16 text";
                return;
            }
            text = decoded;
        }
        m_binary = text.find('\0') != std::string_view::npos;
        m_text = ProfileFileText(std::string(text));
        m_state = LoadState::Loaded;
    } catch (const std::bad_alloc&) {
        m_original.clear();
        m_text = ProfileFileText();
        m_state = LoadState::Unreadable;
        m_loadError = "not enough memory to read it";
    }
}

std::optional<std::string> ProfileFile::readString(const std::string& section, const std::string& key) const
{
    return m_text.value(section, key);
}

std::vector<ProfileFileText::Entry> ProfileFile::readSection(const std::string& section) const
{
    return m_text.listSection(section);
}

bool ProfileFile::sectionExists(const std::string& section) const
{
    return m_text.hasSection(section);
}

bool ProfileFile::writeString(const std::string& section, const std::string& key, const std::string& value)
{
    std::string why;
    if (m_encoding != Encoding::Utf8 && !(IsValidUtf8(section) && IsValidUtf8(key) && IsValidUtf8(value)))
        why = "a UTF-16 file holds only characters, and the text is not valid UTF-8";
    else if (m_text.setValue(section, key, value, why))
        return true;
    m_lastError = m_path + ": [" + section + "] " + why;
    return false;
}

void ProfileFile::eraseSection(const std::string& section)
{
    m_text.eraseSection(section);
}

bool ProfileFile::flush()
{
    // Written back in the encoding it was found in.
    std::string bytes = m_encoding == Encoding::Utf8 ? m_text.toBytes()
                                                     : encodeUtf16(m_text.toBytes(), m_encoding == Encoding::Utf16BE);
    if (bytes == m_original)
        return true;
    if (m_state == LoadState::Unreadable) {
        m_lastError = m_path + ": not replaced, it could not be read (" + m_loadError + ")";
        return false;
    }
    const QFileInfo info(qPath(m_path));
    if (!QDir().mkpath(info.absolutePath())) {
        m_lastError = m_path + ": cannot create the folder " + info.absolutePath().toStdString();
        return false;
    }
    QSaveFile file(qPath(m_path));
    // Unbuffered, and the write checked: QSaveFile::commit() does not notice a failed
    // flush of its write buffer (see WriteReportFile), so on a full disk an empty or
    // cut-off settings file would replace the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        m_lastError = m_path + ": " + file.errorString().toStdString();
        return false;
    }
    const qint64 size = static_cast<qint64>(bytes.size());
    if (file.write(bytes.data(), size) != size) {
        m_lastError = m_path + ": " + file.errorString().toStdString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        m_lastError = m_path + ": " + file.errorString().toStdString();
        return false;
    }
    m_original = std::move(bytes);
    m_state = LoadState::Loaded;
    return true;
}
