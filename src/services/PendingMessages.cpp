#include "services/PendingMessages.h"

#include "services/Services.h"

void ProcessPendingMessages()
{
    CurrentServices().processPendingMessages();
}
