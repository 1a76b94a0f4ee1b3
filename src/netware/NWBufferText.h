#pragma once

#include <cstddef>
#include <string>

/// The text of a library character buffer: up to its first NUL, never past its size
/// (a library that fills the whole buffer without a NUL still gives a bounded text).
inline std::string NWBufferText(const char* buffer, size_t size)
{
    size_t n = 0;
    while (n < size && buffer[n] != '\0')
        ++n;
    return std::string(buffer, n);
}
