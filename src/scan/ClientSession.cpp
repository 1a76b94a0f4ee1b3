#include "scan/ClientSession.h"

#include "util/D_Util.h"

uint32_t StartClient(ScanSession& session, std::vector<NWConnectionItem>& connections)
{
    session.ConnHandle = ScanSession::noConnection;
    uint32_t code = InitNWClient();
    if (code == 0)
        code = NWLib().createContext(session.DSContext);
    if (code == 0)
        ListConnections(connections);
    return code;
}

uint32_t OpenChosenConnection(ScanSession& session, uint32_t reference, const std::string& serverName)
{
    if (session.ConnHandle != ScanSession::noConnection)
        NWLib().closeConn(session.ConnHandle);
    session.ServerName = serverName;
    const uint32_t code = NWLib().NWCCOpenConnByRef(reference, 1, 0, session.ConnHandle);
    CheckError(static_cast<int32_t>(code), "NWCCOpenConnByRef");
    session.VolumeName.clear();
    return code;
}
