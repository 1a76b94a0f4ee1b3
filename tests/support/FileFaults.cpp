#include "support/FileFaults.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

FileSizeLimit::FileSizeLimit(unsigned long bytes)
{
    rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    m_oldSoft = old.rlim_cur;
    m_oldHard = old.rlim_max;
    m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit { bytes, old.rlim_max };
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit()
{
    rlimit old { m_oldSoft, m_oldHard };
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, m_oldHandler);
}

SmallTmpfs::SmallTmpfs(unsigned long bytes)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "grantwise-tmpfs-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        m_why = "cannot create a folder to mount on";
        return;
    }
    m_path = pattern;
    const std::string options = "size=" + std::to_string(bytes);
    if (mount("grantwise-test", m_path.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) != 0) {
        m_why = std::string("cannot mount a tmpfs: ") + std::strerror(errno);
        return;
    }
    m_mounted = true;
}

SmallTmpfs::~SmallTmpfs()
{
    if (m_mounted)
        umount2(m_path.c_str(), MNT_DETACH);
    if (!m_path.empty())
        rmdir(m_path.c_str());
}

void SmallTmpfs::fill()
{
    const int fd = ::open(file("filler").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return;
    const std::vector<char> block(4096, 'x');
    while (::write(fd, block.data(), block.size()) > 0) { }
    ::close(fd);
}

namespace {

bool setImmutable(const std::string& path, bool on)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return false;
    int flags = 0;
    bool ok = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
}

bool canCreateIn(const std::string& folder)
{
    const std::string probe = folder + "/.grantwise-probe";
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0)
        return false;
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

} // namespace

ReadOnlyFolder::ReadOnlyFolder(const std::string& path)
    : m_path(path)
{
    ::chmod(m_path.c_str(), 0555);
    if (canCreateIn(m_path))
        m_immutable = setImmutable(m_path, true);
    m_readOnly = !canCreateIn(m_path);
}

ReadOnlyFolder::~ReadOnlyFolder()
{
    if (m_immutable)
        setImmutable(m_path, false);
    ::chmod(m_path.c_str(), 0755);
}

std::string FolderListing(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (auto it = std::filesystem::directory_iterator(folder, ec); !ec && it != std::filesystem::directory_iterator();
         it.increment(ec))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    std::string out;
    for (const std::string& name : names)
        out += (out.empty() ? "" : " ") + name;
    return out;
}

FifoReader::FifoReader(const std::string& path)
{
    if (::mkfifo(path.c_str(), 0600) == 0)
        m_fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
}

FifoReader::~FifoReader()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

std::string FifoReader::drain()
{
    std::string out;
    char buffer[4096];
    ssize_t n = 0;
    while (m_fd >= 0 && (n = ::read(m_fd, buffer, sizeof buffer)) > 0)
        out.append(buffer, static_cast<size_t>(n));
    return out;
}

bool MakeCharDevice(const std::string& path, unsigned major, unsigned minor)
{
    return ::mknod(path.c_str(), S_IFCHR | 0666, makedev(major, minor)) == 0;
}

bool IsFifo(const std::string& path)
{
    struct stat st { };
    return ::lstat(path.c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
}

bool IsCharDevice(const std::string& path)
{
    struct stat st { };
    return ::lstat(path.c_str(), &st) == 0 && S_ISCHR(st.st_mode);
}

BoundSocket::BoundSocket(const std::string& path)
    : m_fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0))
{
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    m_bound = m_fd >= 0 && ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
}

BoundSocket::~BoundSocket()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool IsSocket(const std::string& path)
{
    struct stat st { };
    return ::lstat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}
