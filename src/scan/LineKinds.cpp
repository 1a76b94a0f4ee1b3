#include "scan/LineKinds.h"

namespace {
constexpr std::array<TInfo, 9> table = { {
    { lkBase, "Base: ", "<settings><base>%s</base></settings>", "" },
    { lkSubdirs, "     Subdirs: ", "<settings><subdir>%s</subdir></settings>", "" },
    { lkScope, "     Scope: ", "<settings><scope>%s</scope></settings>", "" },
    { lkInfo, "     Info: ", "<settings><info>%s</info></settings>", "" },
    { lkFilter, "     Filter: ", "<settings><filter>%s</filter></settings>", "" },
    { lkPath, "", "", "" },
    { lkTrustee, "     Trustee: ", "<trustee><path>%s</path><rights>%s</rights><name>%s</name></trustee>",
        "RIGHTS %s %s /Name=\"%s\"" },
    { lkOwner, "     Owner: ", "<owner><path>%s</path><name>%s</name></owner>", "REM Owner [%s] %s" },
    { lkIrm, "     IRM: ", "<irm><path>%s</path><rights>%s</rights></irm>", "RIGHTS %s %s /f" },
} };

// The rows of the list by trustee are made from the same pieces as the trustee line.
static_assert(table[lkTrustee - lkBase].label.substr(0, lineIndent.size()) == lineIndent
    && table[lkTrustee - lkBase].label.substr(lineIndent.size()) == trusteeHeaderLabel);
} // namespace

const std::array<TInfo, 9> LineKinds = table;

const TInfo* FindLineKind(int32_t code) noexcept
{
    if (code < lkBase || code > lkIrm)
        return nullptr;
    return &LineKinds[static_cast<size_t>(code - lkBase)];
}
