#pragma once

// Report lists for tests, built line by line from what the scan has at hand for each
// line (a value, a path text, a name and rights), through the store's own appends.

#include "scan/LineKinds.h"
#include "scan/ReportList.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

/// The mask of file-system rights letters, as NetWare numbers them ("RF" gives 0x41);
/// other characters add nothing.
inline uint16_t RightsMask(std::string_view letters)
{
    constexpr std::string_view order = "RWCEAFMS";
    constexpr uint16_t bits[] = { 0x01, 0x02, 0x08, 0x10, 0x20, 0x40, 0x80, 0x100 };
    uint16_t mask = 0;
    for (char c : letters)
        if (const size_t at = order.find(c); at != std::string_view::npos)
            mask |= bits[at];
    return mask;
}

/// One line of MakeList, by kind code: 0 a separator; 10..14 `value` after the label;
/// 15 the path text `value`; 16 the trustee name `value` with the `rights` letters;
/// 17 the owner's written name `value` ("" when not known: "(n/a)"); 18 the IRM's
/// `rights` letters.
struct TestLine {
    TestLine(int lineCode, std::string lineValue = {}, std::string lineRights = {})
        : code(lineCode)
        , value(std::move(lineValue))
        , rights(std::move(lineRights))
    {
    }
    int code;
    std::string value;
    std::string rights;
};

inline void AppendTestLine(ReportList& list, const TestLine& line)
{
    switch (line.code) {
    case lkSeparator:
        list.appendSeparator();
        break;
    case lkPath:
        list.appendPathLine(line.value);
        break;
    case lkTrustee:
        list.appendTrustee(list.names().intern(line.value), RightsMask(line.rights));
        break;
    case lkOwner:
        list.appendOwner(line.value.empty() ? NameTable::noName : list.names().intern(line.value));
        break;
    case lkIrm:
        list.appendIrm(static_cast<uint8_t>(RightsMask(line.rights)));
        break;
    default:
        list.appendSetting(line.code, line.value);
        break;
    }
}

inline ReportList MakeList(std::initializer_list<TestLine> lines)
{
    ReportList list;
    for (const TestLine& line : lines)
        AppendTestLine(list, line);
    return list;
}
