#include "platform/RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string tooLarge(uint64_t maxBytes)
{
    return "larger than " + std::to_string(maxBytes) + " bytes";
}

} // namespace

RegularFileRead ReadRegularFile(const std::string& path, uint64_t maxBytes)
{
    RegularFileRead result;
    // Non-blocking, so that opening a FIFO does not wait for a writer; for a regular file
    // the flag changes nothing.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int reason = errno;
        struct stat link { };
        result.missing = (reason == ENOENT || reason == ENOTDIR) && ::lstat(path.c_str(), &link) != 0;
        result.error = std::strerror(reason);
        return result;
    }
    struct stat info { };
    if (::fstat(fd, &info) != 0) {
        result.error = std::strerror(errno);
    } else if (S_ISDIR(info.st_mode)) {
        result.error = "it is a folder";
    } else if (!S_ISREG(info.st_mode)) {
        result.error = "not a regular file";
    } else if (static_cast<uint64_t>(info.st_size) > maxBytes) {
        result.error = tooLarge(maxBytes);
    } else {
        try {
            // One byte more than allowed is asked for, to see a file that grew.
            std::string bytes(static_cast<size_t>(info.st_size) + 1, '\0');
            size_t got = 0;
            while (result.error.empty()) {
                if (got == bytes.size()) {
                    if (got > maxBytes) {
                        result.error = tooLarge(maxBytes);
                        break;
                    }
                    bytes.resize(std::min<uint64_t>(maxBytes + 1, uint64_t(got) * 2 + 4096));
                }
                const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
                if (n < 0 && errno == EINTR)
                    continue;
                if (n < 0)
                    result.error = std::strerror(errno);
                else if (n == 0)
                    break;
                else
                    got += static_cast<size_t>(n);
            }
            if (result.error.empty() && got > maxBytes)
                result.error = tooLarge(maxBytes);
            if (result.error.empty()) {
                bytes.resize(got);
                result.bytes = std::move(bytes);
                result.ok = true;
            }
        } catch (const std::bad_alloc&) {
            result.error = "not enough memory to read it";
        } catch (const std::length_error&) {
            result.error = "not enough memory to read it";
        }
    }
    ::close(fd);
    return result;
}
