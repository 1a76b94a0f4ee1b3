#pragma once

#include "util/D_Util.h"

#include <string>
#include <utility>
#include <vector>

/// Replaces the message box for its lifetime and records every message shown.
class MessageRecorder {
public:
    struct Message {
        int type;
        std::string text;
    };

    MessageRecorder()
        : m_previous(SetMessageBoxHandler([this](int type, const std::string& text) {
            m_messages.push_back({ type, text });
        }))
    {
    }
    ~MessageRecorder() { SetMessageBoxHandler(std::move(m_previous)); }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    const std::vector<Message>& messages() const { return m_messages; }
    std::vector<std::string> texts() const
    {
        std::vector<std::string> out;
        for (const auto& m : m_messages)
            out.push_back(m.text);
        return out;
    }
    void clear() { m_messages.clear(); }

private:
    std::vector<Message> m_messages;
    MessageBoxHandler m_previous;
};
