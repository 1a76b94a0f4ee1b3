#include "scan/LongNames.h"

#include "netware/D_NW.h"
#include "scan/LineKinds.h"
#include "platform/PathForms.h"
#include "services/PendingMessages.h"

size_t GetLongNames(ReportList& results)
{
    size_t converted = 0;
    std::string unc;
    LongPathConverter converter;
    // An entry's detail groups repeat its path line; the repeats reuse the last answer.
    std::string lastText;
    std::string lastResult;
    bool haveLast = false;
    bool lastAccepted = false;
    for (size_t i = 0; i < results.count(); ++i) {
        if (results.code(i) != lkPath)
            continue;
        const std::string_view text = results.text(i);
        if (!haveLast || text != lastText) {
            haveLast = true;
            lastText.assign(text);
            lastAccepted = PathToUNC(lastText, unc) == 0;
            if (lastAccepted)
                lastResult = converter.convert(unc);
        }
        if (lastAccepted) {
            results.replaceText(i, lastResult);
            ++converted;
        }
        ProcessPendingMessages();
    }
    return converted;
}
