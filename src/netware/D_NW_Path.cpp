// D_NW: path resolution through the library's path splitter.

#include "netware/D_NW.h"
#include "netware/NWBufferText.h"

#include "util/D_Util.h"

namespace {
struct SplitBuffers {
    char server[nw::nameBufferSize] = {};
    char volume[nw::nameBufferSize] = {};
    char dirPath[nw::nameBufferSize] = {};
};

std::string bufferText(const char (&buffer)[nw::nameBufferSize])
{
    return NWBufferText(buffer, sizeof buffer);
}
} // namespace

uint16_t ParseNWPath(
    const std::string& path, uint32_t& connHandle, std::string& server, std::string& volume, std::string& dirPath)
{
    const std::string input = path; // path may be one of the outputs
    SplitBuffers buffers;
    const uint16_t code = NWLib().parsePath(input.c_str(), buffers.server, connHandle, buffers.volume, buffers.dirPath);
    if (code == 0) {
        server = bufferText(buffers.server);
        volume = bufferText(buffers.volume);
        dirPath = bufferText(buffers.dirPath);
    }
    return code;
}

uint16_t PathToUNC(const std::string& path, std::string& out)
{
    const std::string input = path;
    out = input;
    SplitBuffers buffers;
    uint32_t connHandle = 0;
    const uint16_t code = NWLib().parsePath(input.c_str(), buffers.server, connHandle, buffers.volume, buffers.dirPath);
    if (code == 0)
        out = Format("\\\\%s\\%s\\%s", bufferText(buffers.server).c_str(), bufferText(buffers.volume).c_str(),
            bufferText(buffers.dirPath).c_str());
    return code;
}
