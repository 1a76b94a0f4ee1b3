#include "platform/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdlib>

namespace {

ProfileFile::WriteFault& writeFault()
{
    static ProfileFile::WriteFault fault;
    return fault;
}

QString qPath(const std::string& path)
{
    return QString::fromStdString(path);
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

void ProfileFile::SetWriteFault(WriteFault fault)
{
    writeFault() = std::move(fault);
}

ProfileFile::ProfileFile(const std::string& fileName)
    : m_path(ResolvePath(fileName))
{
    const QFileInfo info(qPath(m_path));
    if (!info.exists() && !info.isSymLink())
        return;
    QFile file(qPath(m_path));
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
        m_state = LoadState::Unreadable;
        m_loadError = info.isDir() ? "it is a folder" : file.errorString().toStdString();
        return;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        m_state = LoadState::Unreadable;
        m_loadError = file.errorString().toStdString();
        return;
    }
    m_state = LoadState::Loaded;
    m_original = bytes.toStdString();
    m_binary = m_original.find('\0') != std::string::npos;
    m_text = ProfileFileText(m_original);
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
    if (m_text.setValue(section, key, value, why))
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
    std::string bytes = m_text.toBytes();
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
    if (writeFault() && writeFault()(m_path))
        file.cancelWriting();
    if (!file.commit()) {
        m_lastError = m_path + ": " + file.errorString().toStdString();
        return false;
    }
    m_original = std::move(bytes);
    m_state = LoadState::Loaded;
    return true;
}
