#pragma once

#include "netware/D_NW.h"
#include "scan/ScanSession.h"

#include <cstdint>
#include <string>
#include <vector>

/// The client start-up both programs run: no connection open yet (ConnHandle 999), the
/// client brought up (InitNWClient), the directory-services context created into
/// DSContext and, when both succeeded, the connections the workstation holds appended to
/// `connections`. Returns the code of the last step run (0 on success); reporting a
/// failure ("InitNetWare") and setting the context flag are the caller's steps.
uint32_t StartClient(ScanSession& session, std::vector<NWConnectionItem>& connections);

/// Opens a connection as choosing it in the connection list does: the connection held in
/// ConnHandle is closed unless none is open, the reference is opened into ConnHandle
/// (a failure shows "Error %04X: NWCCOpenConnByRef" and changes nothing else back),
/// ServerName becomes serverName and VolumeName is cleared. Returns the open's code.
uint32_t OpenChosenConnection(ScanSession& session, uint32_t reference, const std::string& serverName);
