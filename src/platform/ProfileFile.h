#pragma once

#include "platform/ProfileFileText.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

/// One settings (profile) file, opened by name: the stand-in for the Windows profile
/// calls GetPrivateProfileStringA / WritePrivateProfileStringA. The file is read once
/// when the object is made; reads and writes then work on that text (ProfileFileText
/// gives the INI rules) and flush() writes it back. Nothing stays open in between.
///
/// Where the file lies: a name without a folder (no "/") lives in the user's
/// configuration folder, $XDG_CONFIG_HOME when that is an absolute path, else
/// ~/.config. Any other name is used as it stands (relative to the working folder). A
/// missing folder is created by the first flush that writes.
///
/// Writing replaces the file atomically: the new text goes to a temporary file in the
/// same folder, which is then renamed over the old one, so a crash or a full disk never
/// leaves a half-written settings file.
class ProfileFile {
public:
    /// What opening found.
    enum class LoadState {
        Missing, // no file yet: reads give nothing, a flush creates it
        Loaded, // the file was read
        Unreadable, // something stands there that cannot be read (a folder, no access,
                    // anything but a regular file, more than maxBytes): reads give
                    // nothing and flush refuses to replace it
    };

    /// The largest settings file read, in bytes (8 MiB): a work queue of 50,000 checked
    /// start paths of 60 characters takes about 7 MB. Larger files, FIFOs and devices are not read (a FIFO
    /// would make the reader wait, a device such as /dev/zero fill the memory).
    static constexpr uint64_t maxBytes = uint64_t(8) << 20;

    /// Resolves fileName (see above) and reads the file. Never fails; see loadState.
    explicit ProfileFile(const std::string& fileName);

    /// The full path the name resolved to.
    const std::string& path() const { return m_path; }
    LoadState loadState() const { return m_state; }
    /// Why the file could not be read (empty unless loadState is Unreadable).
    const std::string& loadError() const { return m_loadError; }
    /// True when the file's text holds a NUL (a binary file rather than INI text).
    bool looksBinary() const { return m_binary; }

    /// How the file's text is encoded: UTF-8 (or any 8-bit text; a new file is UTF-8
    /// without a byte-order mark), or UTF-16 with a byte-order mark in either byte order,
    /// as Windows' profile functions keep Unicode profiles. A UTF-16 file is read as its
    /// characters and written back in UTF-16 of the same byte order, mark included; one
    /// that is not well-formed UTF-16 is Unreadable, so it is never rewritten.
    enum class Encoding { Utf8, Utf16LE, Utf16BE };
    Encoding encoding() const { return m_encoding; }

    /// The value of key in section; nothing when either is missing.
    std::optional<std::string> readString(const std::string& section, const std::string& key) const;
    /// The section's entries (key, value) in file order.
    std::vector<ProfileFileText::Entry> readSection(const std::string& section) const;
    bool sectionExists(const std::string& section) const;

    /// Sets key in section (in memory until flush). False when the name or value
    /// cannot be stored (ProfileFileText's rules; in a UTF-16 file also a text that is not
    /// valid UTF-8); lastError says why.
    bool writeString(const std::string& section, const std::string& key, const std::string& value);
    /// Removes a whole section (in memory until flush).
    void eraseSection(const std::string& section);

    /// Writes the text back when it differs from what was read; nothing to write is
    /// success. False when the folder cannot be made, the file cannot be written or
    /// replaced, or the existing file could not be read (it is then left alone);
    /// lastError says why. After success the written text counts as read.
    bool flush();

    /// The reason of the last failed writeString or flush.
    const std::string& lastError() const { return m_lastError; }

    /// The path a file name resolves to (the rule above), without touching the disk.
    static std::string ResolvePath(const std::string& fileName);

private:
    std::string m_path;
    LoadState m_state = LoadState::Missing;
    std::string m_loadError;
    bool m_binary = false;
    Encoding m_encoding = Encoding::Utf8;
    std::string m_original; // the bytes as read (or last written)
    ProfileFileText m_text;
    std::string m_lastError;
};
