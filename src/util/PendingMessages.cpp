#include "util/PendingMessages.h"

#include <utility>

namespace {
std::function<void()>& pendingHandler()
{
    static std::function<void()> handler;
    return handler;
}
} // namespace

void ProcessPendingMessages()
{
    if (const auto& handler = pendingHandler())
        handler();
}

std::function<void()> SetPendingMessagesHandler(std::function<void()> handler)
{
    std::function<void()> previous = std::move(pendingHandler());
    pendingHandler() = std::move(handler);
    return previous;
}
