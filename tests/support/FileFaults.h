#pragma once

// Ways to make file writes fail for real, for tests that check that a failed export or
// settings write leaves the old file whole. Tests run as root (also in CI), so
// permission bits alone stop nothing; each helper says whether it could set its fault
// up, and a test skips what the machine cannot provide.

#include <string>

/// A full disk without privileges: lowers the process's file-size limit (RLIMIT_FSIZE)
/// to `bytes` and ignores SIGXFSZ, so any write past that size fails with EFBIG as a
/// write to a full disk fails. Child processes started meanwhile inherit the limit.
/// Restores both on destruction.
class FileSizeLimit {
public:
    explicit FileSizeLimit(unsigned long bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    unsigned long m_oldSoft = 0;
    unsigned long m_oldHard = 0;
    void (*m_oldHandler)(int) = nullptr;
};

/// A really full disk: a tmpfs of `bytes` mounted on a fresh folder (needs the
/// privilege to mount; mounted() is false where the machine does not allow it).
/// Unmounted and removed on destruction.
class SmallTmpfs {
public:
    explicit SmallTmpfs(unsigned long bytes);
    ~SmallTmpfs();
    SmallTmpfs(const SmallTmpfs&) = delete;
    SmallTmpfs& operator=(const SmallTmpfs&) = delete;

    bool mounted() const { return m_mounted; }
    /// Why it could not be mounted ("" when mounted).
    const std::string& why() const { return m_why; }
    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }
    /// Fills the file system up with one file until a write fails.
    void fill();

private:
    std::string m_path;
    bool m_mounted = false;
    std::string m_why;
};

/// Makes a folder refuse new files: permission bits 0555 and, since root ignores those,
/// also the immutable flag (chattr +i) where the file system supports it. readOnly()
/// tells whether creating a file there now really fails. Restored on destruction.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const std::string& path);
    ~ReadOnlyFolder();
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

    bool readOnly() const { return m_readOnly; }

private:
    std::string m_path;
    bool m_immutable = false;
    bool m_readOnly = false;
};

/// The names in a folder, sorted (to check that no temporary file was left behind).
std::string FolderListing(const std::string& folder);
