// Fuzzes the text helpers that every other layer leans on: replace-all must end and
// replace each occurrence exactly once, escaping must leave no raw markup characters,
// and splitting must give back its input.
#include "util/D_HTML.h"
#include "util/D_Util.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    // Input: s \0 old \0 new
    const size_t a = input.find('\0');
    const size_t b = a == std::string::npos ? std::string::npos : input.find('\0', a + 1);
    const std::string s = input.substr(0, a);
    const std::string oldText = a == std::string::npos ? "" : input.substr(a + 1, b - a - 1);
    const std::string newText = b == std::string::npos ? "" : input.substr(b + 1);

    const std::string replaced = ReplaceText(s, oldText, newText, true, true);
    // Replacing back must restore s when neither text can overlap the other or itself.
    if (!oldText.empty() && oldText != newText && newText.find(oldText) == std::string::npos
        && s.find(newText) == std::string::npos && !newText.empty() && oldText.size() == 1 && newText.size() == 1) {
        if (ReplaceText(replaced, newText, oldText, true, true) != s)
            abort();
    }
    ReplaceText(s, oldText, newText, false, true);
    ReplaceText(s, oldText, newText, false, false);

    const std::string escaped = HtmlEscape(s);
    if (escaped.find_first_of("<>\"'") != std::string::npos)
        abort();

    std::string head, tail;
    SplitAt(s, oldText, head, tail);
    if (!oldText.empty() && s.find(oldText) != std::string::npos && head + oldText + tail != s)
        abort();
    if (s.find(oldText) == std::string::npos && head != s)
        abort();

    std::string copy = s;
    NulTerminatedPtr(copy);
    ForceExt(s, oldText);
    RemoveSlash(AddSlash(s));
    return 0;
}
