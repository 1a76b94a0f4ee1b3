#pragma once

// A context of services for one test (services/Services.h), current while the object
// lives: the client library the test names (or none), message boxes recorded instead of
// shown, and the pending-messages and save-file-name services as the test sets them at
// any time (a window copies the context when it is made; the copy still reaches these).

#include "services/Services.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

class TestServices {
public:
    struct Message {
        int type;
        std::string text;
    };

    explicit TestServices(NWClientLibrary* library = nullptr)
    {
        m_context.clientLibrary = library;
        m_context.messageBox = [this](int type, const std::string& text) { m_messages.push_back({ type, text }); };
        m_context.pendingMessages = [this] {
            if (pendingMessages)
                pendingMessages();
        };
        m_context.saveFileName
            = [this](const SaveFileRequest& request) { return saveFileName ? saveFileName(request) : std::nullopt; };
        m_context.openFileName
            = [this](const SaveFileRequest& request) { return openFileName ? openFileName(request) : std::nullopt; };
    }
    explicit TestServices(NWClientLibrary& library)
        : TestServices(&library)
    {
    }
    TestServices(const TestServices&) = delete;
    TestServices& operator=(const TestServices&) = delete;

    /// The context to hand on (StartClient, RunScan, a window).
    Services& context() { return m_context; }

    /// What a pending-messages call does (empty: nothing).
    std::function<void()> pendingMessages;
    /// How the save dialog answers (empty: as cancelled).
    SaveFileNameFunction saveFileName;
    /// How the open dialog answers (empty: as cancelled).
    OpenFileNameFunction openFileName;

    /// The messages shown, in order.
    const std::vector<Message>& messages() const { return m_messages; }
    std::vector<std::string> texts() const
    {
        std::vector<std::string> out;
        for (const auto& m : m_messages)
            out.push_back(m.text);
        return out;
    }
    void clearMessages() { m_messages.clear(); }

private:
    std::vector<Message> m_messages;
    Services m_context;
    ServicesScope m_scope { m_context };
};
