#pragma once

// Generated subtrees: a directory (or a volume's root) of a network description may ask
// for its contents to be made at load time instead of being listed, from a seed and a
// few shape figures. The same options always give the same entries, names, DOS names,
// trustees, inherited rights masks, owners and object IDs, so a description of a million
// entries is a few lines of JSON and loads the same everywhere.

#include "platform/netware/Network.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

/// The shape of a generated subtree (the keys of "generate" in a description).
struct GenerateOptions {
    uint64_t seed = 1;
    uint32_t directories = 4; ///< subdirectories of every generated directory above the last level
    uint32_t depth = 2; ///< levels of subdirectories below the generating directory
    uint32_t files = 10; ///< files in every directory, the generating one included
    double trustees = 0.3; ///< share of entries with trustees (1 to 3 each)
    double irm = 0.1; ///< share of directories whose inherited rights mask filters rights
    double unknownIDs = 0.05; ///< share of trustee assignments naming an ID no object has
    uint32_t users = 100; ///< users made in the server's tree
    uint32_t groups = 10; ///< groups made in the server's tree
    uint32_t owners = 20; ///< the first `owners` users own the directories and files (0: no owner)
    std::string context = "Corp"; ///< organisation the users and groups are made in
};

/// Largest number of entries a network may hold, listed and generated together (a
/// description of a few lines asks for 48 bytes an entry and more, so the cap is on the
/// whole description, not on each "generate" key).
inline constexpr uint64_t maxNetworkEntries = 20'000'000;

/// Largest number of users and groups the "generate" keys of one description make
/// together (each key makes at most 1,000,000 users and 100,000 groups).
inline constexpr uint64_t maxGeneratedObjects = 1'100'000;

/// Number of entries a generated subtree holds below its generating directory (that
/// directory itself not counted): its files, and per level directories^level
/// directories with their files. Saturates at UINT64_MAX.
uint64_t GeneratedEntryCount(const GenerateOptions& options) noexcept;

/// What a generation could not do; key names the option at fault ("depth"), or is ""
/// when the options as a whole are (too many entries).
class GenerateFailure : public std::runtime_error {
public:
    GenerateFailure(std::string key, const std::string& reason)
        : std::runtime_error(reason)
        , m_key(std::move(key))
    {
    }
    const std::string& key() const noexcept { return m_key; }

private:
    std::string m_key;
};

/// Fills directory `dir` of net, which must have no children yet, with the generated
/// subtree: users and groups are made in tree `tree` (existing objects of the same name
/// are reused), then the entries, laid out like the reader lays out listed ones (every
/// directory's children one contiguous range, subdirectories first, then files). The
/// generating directory keeps the owner, IRM and trustees its description gives it.
/// dosPathLength is the length of the generating directory's DOS path
/// ("VOL1:" for a volume root), used to keep every path within `maxDosPath`.
/// Throws GenerateFailure (net would hold more than maxNetworkEntries entries, a DOS
/// path too long); net is then unusable, as after any load error.
void GenerateSubtree(Network& net, uint32_t tree, uint32_t dir, size_t dosPathLength, const GenerateOptions& options,
    size_t maxDosPath = 255);
