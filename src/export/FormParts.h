#pragma once

// Making a save form's bytes in parts on several threads.
//
// A form's bytes are made line by line, and the only thing a line takes from the lines
// before it is the path line above it (and, for the XML form, whether a block of
// settings is open). So the lines can be cut into ranges that each begin at a path line,
// each range's bytes made on a thread of its own, and the parts put together in order:
// the bytes are the same as those made in one pass, and the form is still complete in
// memory before anything is written. The calling thread makes the first part and is the
// only one that lets messages through and reports progress (ProcessPendingMessages with
// the lines done in all parts); when that call cancels the work (it throws), the other
// threads stop at their next step and the exception is passed on.

#include "scan/ReportList.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

/// What a part's maker calls every FormProgress::step lines.
class FormProgress {
public:
    /// Lines between two calls of advance.
    static constexpr size_t step = 4096;

    struct Shared {
        std::atomic<size_t> done { 0 };
        std::atomic<bool> stop { false };
        size_t total = 0;
    };
    FormProgress(Shared& shared, bool callingThread) noexcept
        : m_shared(shared)
        , m_callingThread(callingThread)
    {
    }

    /// Counts `lines` more lines done. On the calling thread it lets messages through
    /// (and may throw, to cancel); on the others it throws when the work was stopped.
    void advance(size_t lines);

private:
    Shared& m_shared;
    bool m_callingThread;
};

/// A part's range of lines: [begin, end) of the lines the form is made of.
struct FormRange {
    size_t begin = 0;
    size_t end = 0;
};

/// How many parts a form of `count` lines is made in: one below a few hundred thousand
/// lines (threads would cost more than they save), else one per processor, at most 8.
size_t FormPartCount(size_t count) noexcept;

/// The ranges of `parts` parts of count lines; each range after the first begins at a
/// line for which startsPart(line index) is true (the next one from an even cut), so
/// there may be fewer ranges than parts; none is empty, and together they cover every line.
std::vector<FormRange> FormRanges(size_t count, size_t parts, const std::function<bool(size_t)>& startsPart);

/// Makes each range's bytes with make(k, ranges[k], bytes, progress): the first range on
/// the calling thread, the others on threads of their own. Returns the parts' bytes in
/// order. An exception from any part (the calling thread's first) is passed on once every
/// thread has stopped.
std::vector<std::string> MakeFormParts(const std::vector<FormRange>& ranges, size_t totalLines,
    const std::function<void(size_t, const FormRange&, std::string&, FormProgress&)>& make);

/// About `estimate` bytes for the whole form: the share of range's lines in count, or
/// the whole estimate for the first range (its bytes become the joined form's).
size_t FormPartReserve(size_t estimate, const FormRange& range, size_t count) noexcept;

/// How many bytes the parts hold together.
size_t FormPartsSize(const std::vector<std::string>& parts) noexcept;

/// The parts joined: the first one's bytes with the others appended (the first is the
/// largest piece of memory that need not be copied).
std::string JoinFormParts(std::vector<std::string>&& parts);

/// FormRanges cut at path lines of lines (the start of a range where a line's form only
/// depends on the path line above it).
std::vector<FormRange> PathLineRanges(const ReportList& lines, size_t parts);
