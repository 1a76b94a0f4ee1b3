#pragma once

// Where the network description comes from. Both programs load it once at start and put
// the library into the context of services they hand on (services/Services.h).

#include "platform/netware/SimulatedNetWare.h"

#include <cstdint>
#include <memory>
#include <string>

/// The built-in demo network, compiled into both programs.
inline constexpr const char* builtInNetwork = ":/demo-network.json";

/// The largest network description file read, in bytes (1 GiB). A description that
/// lists every entry takes about 80 bytes an entry, so this holds the 12 million
/// entries of the largest volume the programs are made for; a generated one is a few
/// lines. Anything larger is refused before it is read.
inline constexpr uint64_t maxNetworkDescriptionBytes = uint64_t(1) << 30;

/// The description file to use: explicitFile when it is not empty, else the value of
/// $GRANTWISE_NETWORK when that is set and not empty, else builtInNetwork.
std::string NetworkSourceFile(const std::string& explicitFile);

/// Loads the description NetworkSourceFile names. Never throws: when the description
/// cannot be read or is unusable, the library it returns fails initialisation with
/// 0x88FF and its NWstrerror(0x88FF) (and loadError()) give "<file>: <place>: <reason>".
/// Only a regular file of at most maxNetworkDescriptionBytes is read ("<file>: cannot be
/// read: not a regular file", "... larger than N bytes"), so a FIFO or a device such as
/// /dev/zero cannot hang or exhaust the programs; running out of memory while loading
/// gives "<file>: not enough memory to load it".
std::unique_ptr<SimulatedNetWare> LoadNetwork(const std::string& explicitFile);
