#pragma once

#include <cstdint>
#include <string>

/// What ReadRegularFile found.
struct RegularFileRead {
    bool ok = false;
    bool missing = false; ///< nothing stands under the name (not even a broken link), or
                          ///< a file stands where a folder of the path should be
    std::string bytes; ///< the whole file when ok
    std::string error; ///< why it could not be read; empty when ok
};

/// Reads the whole of a regular file of at most maxBytes bytes (a symbolic link is
/// followed). Anything else is refused without reading from it and without waiting: a
/// folder ("it is a folder"), a FIFO, a device or a socket ("not a regular file"), so a
/// FIFO cannot hang the caller and a device such as /dev/zero cannot fill the memory.
/// A file larger than maxBytes, also one that grows past it while it is read, is refused
/// with "larger than N bytes". Running out of memory gives "not enough memory to read
/// it". Never throws.
RegularFileRead ReadRegularFile(const std::string& path, uint64_t maxBytes);
