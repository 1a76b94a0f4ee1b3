#include "services/Services.h"

#include <iostream>

namespace {

// The innermost live scope; nullptr outside every scope.
ServicesScope*& innermostScope()
{
    static ServicesScope* scope = nullptr;
    return scope;
}

} // namespace

NWClientLibrary& Services::client() const
{
    return clientLibrary ? *clientLibrary : AbsentNWClientLibrary();
}

void Services::showMessage(int type, const std::string& text) const
{
    if (messageBox)
        messageBox(type, text);
    else
        std::cerr << "grantwise: " << text << std::endl;
}

void Services::processPendingMessages() const
{
    if (pendingMessages)
        pendingMessages();
}

void Services::reportProgress(uint64_t done, uint64_t total) const
{
    if (progress)
        progress(done, total);
}

std::optional<std::string> Services::askSaveFileName(const SaveFileRequest& request) const
{
    return saveFileName ? saveFileName(request) : std::nullopt;
}

std::optional<std::string> Services::askOpenFileName(const SaveFileRequest& request) const
{
    return openFileName ? openFileName(request) : std::nullopt;
}

ServicesScope::ServicesScope(Services& services)
    : m_services(&services)
    , m_below(innermostScope())
{
    innermostScope() = this;
}

ServicesScope::~ServicesScope()
{
    // Usually the innermost one; otherwise the scope opened just after this one now rests
    // on the one below this.
    ServicesScope** link = &innermostScope();
    while (*link && *link != this)
        link = &(*link)->m_below;
    if (*link)
        *link = m_below;
}

Services& CurrentServices()
{
    static Services none;
    const ServicesScope* scope = innermostScope();
    return scope ? *scope->m_services : none;
}

NWClientLibrary& NWLib()
{
    return CurrentServices().client();
}
