#pragma once

#include "netware/D_NW.h"
#include "scan/ScanSession.h"
#include "services/Services.h"

#include <cstdint>
#include <string>
#include <vector>

/// The client start-up both programs run, with the services they hand it (current while
/// it runs, so that InitNWClient and its error boxes use them): no connection open yet
/// (ConnHandle 999), the client brought up (InitNWClient, once per context), the
/// directory-services context created into DSContext and, when both succeeded, the
/// connections the workstation holds appended to `connections`. Returns the code of the
/// last step run (0 on success); reporting a failure ("InitNetWare") and setting the
/// context flag are the caller's steps.
uint32_t StartClient(Services& services, ScanSession& session, std::vector<NWConnectionItem>& connections);

/// Opens a connection as choosing it in the connection list does, through the services'
/// client library: the connection held in ConnHandle is closed unless none is open, the
/// reference is opened into ConnHandle (a failure shows "Error %04X: NWCCOpenConnByRef"
/// through the services' message box and changes nothing else back), ServerName becomes
/// serverName and VolumeName is cleared. Returns the open's code.
uint32_t OpenChosenConnection(
    Services& services, ScanSession& session, uint32_t reference, const std::string& serverName);
