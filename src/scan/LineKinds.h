#pragma once

#include <array>
#include <cstdint>
#include <string_view>

/// Kind codes of the report lines. 0 is an empty separator line; 10 to 18 index the
/// line-kind table (row c - 10).
enum LineKindCode : int32_t {
    lkSeparator = 0,
    lkBase = 10,
    lkSubdirs = 11,
    lkScope = 12,
    lkInfo = 13,
    lkFilter = 14,
    lkPath = 15,
    lkTrustee = 16,
    lkOwner = 17,
    lkIrm = 18,
};

/// One row of the line-kind table: the label that begins every line of the kind, and
/// the printf templates ("%s" placeholders) of the XML and batch exports; an empty
/// template means the kind writes nothing in that form.
struct TInfo {
    int32_t code;
    std::string_view label;
    std::string_view xmlTemplate;
    std::string_view batTemplate;
};

/// The nine line kinds, codes 10 to 18 in order.
extern const std::array<TInfo, 9> LineKinds;

/// The row of a kind code, or nullptr for codes outside 10..18 (separators included).
const TInfo* FindLineKind(int32_t code) noexcept;

/// The five blanks that begin the labels of codes 11 to 14 and 16 to 18, and the detail
/// rows of the list by trustee.
inline constexpr std::string_view lineIndent = "     ";

/// What begins a header row of the list by trustee: the trustee label without its indent.
inline constexpr std::string_view trusteeHeaderLabel = "Trustee: ";

/// An owner line's value when the owner's name is not known.
inline constexpr std::string_view ownerNotKnown = "(n/a)";
