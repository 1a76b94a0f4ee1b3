#pragma once

// Reading a network description (the JSON document of docs/NETWORK.md's format) into a
// Network. Every way a description can be unusable is an error that names the file, the
// place (line and column for a syntax error, otherwise the JSON path of the offending
// value, e.g. $.servers[0].volumes[1].entries[3].short) and what is wrong. Nothing is
// half-loaded: the Network exists only when the whole description was read.

#include "platform/netware/Network.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

/// An unusable description; what() is the complete message "<file>: <place>: <reason>".
class NetworkLoadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// Reads the description text; fileName is used in messages only.
/// Throws NetworkLoadError.
std::unique_ptr<Network> ReadNetwork(std::string_view text, const std::string& fileName);
