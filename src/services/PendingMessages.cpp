#include "services/PendingMessages.h"

#include "services/Services.h"

void ProcessPendingMessages()
{
    CurrentServices().processPendingMessages();
}

void ProcessPendingMessages(uint64_t done, uint64_t total)
{
    const Services& services = CurrentServices();
    services.reportProgress(done, total);
    services.processPendingMessages();
}
