#pragma once

// Writing a loaded network back out as a plain network description (every entry listed,
// nothing generated), so that the parser can be measured on a file of known size that
// loads into the same network.

#include "platform/netware/Network.h"

#include <string>

namespace bench {

/// The description of net with every entry listed: objects with their IDs, entries with
/// their long and DOS names, owners and trustees as "#0x..." IDs, masks as numbers.
std::string PlainNetworkText(const Network& net);

} // namespace bench
