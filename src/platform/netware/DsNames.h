#pragma once

// Directory-services names of the simulated tree: parsing typeless and typed names
// ('Admin.Corp', 'CN=Admin.O=Corp'), the bracketed special names, the usual typing rule,
// and names relative to a name context.

#include <string>
#include <string_view>
#include <vector>

/// A parsed name: its parts from the leaf (left) to the top (right), each with its type,
/// or one bracketed special name ("[Public]", "[Root]", "[Supervisor]").
struct DsName {
    struct Part {
        std::string type; ///< "CN", "OU", "O" or "C", upper case
        std::string value; ///< as written
    };
    std::vector<Part> parts;
    std::string special; ///< the special name as declared ("[Public]"), or ""

    bool isSpecial() const noexcept { return !special.empty(); }
    bool isRoot() const noexcept;
    /// True when the leftmost part is typed O= or OU=: the name of a container.
    bool isContainer() const noexcept;

    /// 'CN=Admin.O=Corp' (a special name: itself).
    std::string typed() const;
    /// 'Admin.Corp' (a special name: itself).
    std::string typeless() const;
    /// The typed name case-folded (FoldName): equal keys name the same object, so
    /// 'MÜLLER.Corp' and 'müller.corp' are one object.
    std::string key() const;
};

/// How typeless parts are typed: the name of an object (a leaf) or of a container.
enum class DsNameKind { Object, Container };

/// Parses text into name. Typeless parts are typed by position. An object's name: the
/// leftmost CN=, the rightmost O=, those between OU=; a name of one part is CN= (a
/// leaf). A container's name (a name context): the rightmost O=, the others OU=.
/// Special names are matched ignoring case and kept in their declared spelling. Returns
/// "" on success, otherwise what is wrong (leading dot, empty part, unknown type,
/// unknown special name, longer than 255 characters).
std::string ParseDsName(std::string_view text, DsName& name, DsNameKind kind = DsNameKind::Object);

/// The name of object as seen from the name context: its full name when the context is
/// [Root]; the parts below the context when the object lies below it; otherwise its full
/// name with a leading "." (a distinguished name). typeless selects the written form.
std::string RelativeDsName(const DsName& object, const DsName& context, bool typeless);
