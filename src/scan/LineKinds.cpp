#include "scan/LineKinds.h"

const std::array<TInfo, 9> LineKinds = { {
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

const TInfo* FindLineKind(int32_t code) noexcept
{
    if (code < lkBase || code > lkIrm)
        return nullptr;
    return &LineKinds[static_cast<size_t>(code - lkBase)];
}

std::string_view LineValue(std::string_view text, int32_t code) noexcept
{
    const TInfo* kind = FindLineKind(code);
    if (!kind)
        return text;
    const size_t n = kind->label.size();
    return n >= text.size() ? std::string_view() : text.substr(n);
}
