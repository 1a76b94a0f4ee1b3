#include "export/FormParts.h"

#include "services/PendingMessages.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <future>
#include <thread>

namespace {

// Thrown on a thread other than the calling one when the work was stopped.
struct PartStopped { };

constexpr size_t minLinesForParts = 200000;
constexpr size_t maxParts = 8;

} // namespace

void FormProgress::advance(size_t lines)
{
    const size_t done = m_shared.done.fetch_add(lines) + lines;
    if (m_callingThread)
        ProcessPendingMessages(std::min(done, m_shared.total), m_shared.total);
    else if (m_shared.stop.load(std::memory_order_relaxed))
        throw PartStopped {};
}

size_t FormPartCount(size_t count) noexcept
{
    if (count < minLinesForParts)
        return 1;
    return std::clamp<size_t>(std::thread::hardware_concurrency(), 1, maxParts);
}

std::vector<FormRange> FormRanges(size_t count, size_t parts, const std::function<bool(size_t)>& startsPart)
{
    std::vector<FormRange> ranges;
    if (count == 0)
        return ranges;
    parts = std::max<size_t>(parts, 1);
    size_t begin = 0;
    for (size_t k = 1; k < parts; ++k) {
        size_t cut = std::max(count / parts * k + count % parts * k / parts, begin + 1);
        while (cut < count && !startsPart(cut))
            ++cut;
        if (cut >= count)
            break;
        ranges.push_back({ begin, cut });
        begin = cut;
    }
    ranges.push_back({ begin, count });
    return ranges;
}

std::vector<FormRange> PathLineRanges(const ReportList& lines, size_t parts)
{
    return FormRanges(lines.count(), parts, [&lines](size_t i) { return lines.line(i).row == ReportRow::Path; });
}

std::vector<std::string> MakeFormParts(const std::vector<FormRange>& ranges, size_t totalLines,
    const std::function<void(size_t, const FormRange&, std::string&, FormProgress&)>& make)
{
    std::vector<std::string> parts(ranges.size());
    if (ranges.empty())
        return parts;
    FormProgress::Shared shared;
    shared.total = totalLines;
    std::vector<std::future<void>> others;
    others.reserve(ranges.size() - 1);
    // Waits for every other thread; the first exception that is not a stop, if any.
    const auto joinOthers = [&others] {
        std::exception_ptr failure;
        for (std::future<void>& other : others) {
            try {
                other.get();
            } catch (const PartStopped&) {
            } catch (...) {
                if (!failure)
                    failure = std::current_exception();
            }
        }
        others.clear();
        return failure;
    };
    try {
        for (size_t k = 1; k < ranges.size(); ++k)
            others.push_back(std::async(std::launch::async, [&, k] {
                FormProgress progress(shared, false);
                make(k, ranges[k], parts[k], progress);
            }));
        FormProgress progress(shared, true);
        make(0, ranges[0], parts[0], progress);
        // The others may still be at work: let messages through meanwhile.
        for (std::future<void>& other : others)
            while (other.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
                ProcessPendingMessages(std::min(shared.done.load(), totalLines), totalLines);
    } catch (...) {
        shared.stop = true;
        joinOthers();
        throw;
    }
    if (const std::exception_ptr failure = joinOthers())
        std::rethrow_exception(failure);
    return parts;
}

size_t FormPartReserve(size_t estimate, const FormRange& range, size_t count) noexcept
{
    if (range.begin == 0 || count == 0)
        return estimate;
    return static_cast<size_t>(static_cast<double>(estimate) * static_cast<double>(range.end - range.begin)
               / static_cast<double>(count))
        + 64;
}

size_t FormPartsSize(const std::vector<std::string>& parts) noexcept
{
    size_t total = 0;
    for (const std::string& part : parts)
        total += part.size();
    return total;
}

std::string JoinFormParts(std::vector<std::string>&& parts)
{
    if (parts.empty())
        return std::string();
    const size_t total = FormPartsSize(parts);
    if (parts.size() == 1)
        return std::move(parts[0]);
    // Copying hundreds of megabytes: on another thread, while messages go through here.
    std::future<std::string> joined = std::async(std::launch::async, [&parts, total] {
        std::string out = std::move(parts[0]);
        out.reserve(total);
        for (size_t k = 1; k < parts.size(); ++k) {
            out += parts[k];
            std::string().swap(parts[k]);
        }
        return out;
    });
    return WaitLettingMessagesThrough(joined);
}
