#include "scan/LongNames.h"

#include "netware/D_NW.h"
#include "platform/PathForms.h"
#include "services/PendingMessages.h"

size_t GetLongNames(ReportList& results)
{
    size_t converted = 0;
    std::string text;
    std::string unc;
    LongPathConverter converter;
    PathTable& paths = results.paths();
    for (size_t i = 0; i < results.count(); ++i) {
        const ReportLine line = results.line(i);
        if (line.row != ReportRow::Path || line.longForm)
            continue;
        // An entry's detail groups repeat its path line: the node is asked once.
        if (paths.longFormState(line.node) == LongFormState::None) {
            text.clear();
            paths.appendText(line.node, text);
            if (PathToUNC(text, unc) == 0)
                paths.setLongForm(line.node, converter.convert(unc));
            else
                paths.setLongFormRejected(line.node);
        }
        if (paths.longFormState(line.node) == LongFormState::Converted) {
            results.showLongForm(i);
            ++converted;
        }
        ProcessPendingMessages(i + 1, results.count());
    }
    // The converter holds the long form of every folder met.
    ReleaseLettingMessagesThrough(std::move(converter));
    return converted;
}
