#pragma once

// The load error of a network description text, for tests of the reader and the
// generator.

#include "platform/netware/NetworkReader.h"

#include <string>

/// The message ReadNetwork throws for text (read as "net.json"), or "(loaded)".
inline std::string NetworkLoadErrorOf(const std::string& text)
{
    try {
        ReadNetwork(text, "net.json");
    } catch (const NetworkLoadError& e) {
        return e.what();
    }
    return "(loaded)";
}
