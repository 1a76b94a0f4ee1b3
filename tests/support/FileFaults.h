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

/// A FIFO made at path whose read end is held open without waiting for a writer, so a
/// writer's open does not block and what it writes (up to the pipe's 64 KiB) waits in
/// the pipe until drained. made() is false when the FIFO could not be made.
class FifoReader {
public:
    explicit FifoReader(const std::string& path);
    ~FifoReader();
    FifoReader(const FifoReader&) = delete;
    FifoReader& operator=(const FifoReader&) = delete;

    bool made() const { return m_fd >= 0; }
    /// Everything written into the FIFO so far (does not wait).
    std::string drain();

private:
    int m_fd = -1;
};

/// Makes a character device node at path with the numbers of the system's device
/// (1, 3 is /dev/null, 1, 7 is /dev/full), in the test's own folder. False when the
/// machine does not allow it (no CAP_MKNOD).
bool MakeCharDevice(const std::string& path, unsigned major, unsigned minor);

/// True when path is still a FIFO / a character device (not replaced by a regular file).
bool IsFifo(const std::string& path);
bool IsCharDevice(const std::string& path);

/// A Unix socket bound at path (a special file that is neither a FIFO nor a device);
/// bound() is false when it could not be made. Closed on destruction.
class BoundSocket {
public:
    explicit BoundSocket(const std::string& path);
    ~BoundSocket();
    BoundSocket(const BoundSocket&) = delete;
    BoundSocket& operator=(const BoundSocket&) = delete;

    bool bound() const { return m_bound; }

private:
    int m_fd = -1;
    bool m_bound = false;
};

/// True when path is (still) a socket.
bool IsSocket(const std::string& path);
