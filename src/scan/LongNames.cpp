#include "scan/LongNames.h"

#include "netware/D_NW.h"
#include "scan/LineKinds.h"
#include "util/PathForms.h"
#include "util/PendingMessages.h"

size_t GetLongNames(ReportList& results)
{
    size_t converted = 0;
    std::string unc;
    for (size_t i = 0; i < results.count(); ++i) {
        if (results.code(i) != lkPath)
            continue;
        if (PathToUNC(std::string(results.text(i)), unc) == 0) {
            results.replaceText(i, ConvertPathName(unc, PathForm::Long));
            ++converted;
        }
        ProcessPendingMessages();
    }
    return converted;
}
