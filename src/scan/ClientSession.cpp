#include "scan/ClientSession.h"

#include "util/D_Util.h"

uint32_t StartClient(Services& services, ScanSession& session, std::vector<NWConnectionItem>& connections)
{
    const ServicesScope scope(services);
    session.ConnHandle = ScanSession::noConnection;
    uint32_t code = InitNWClient();
    if (code == 0)
        code = services.client().createContext(session.DSContext);
    if (code == 0)
        ListConnections(connections);
    return code;
}

uint32_t OpenChosenConnection(
    Services& services, ScanSession& session, uint32_t reference, const std::string& serverName)
{
    NWClientLibrary& lib = services.client();
    if (session.ConnHandle != ScanSession::noConnection)
        lib.closeConn(session.ConnHandle);
    session.ServerName = serverName;
    const uint32_t code = lib.NWCCOpenConnByRef(reference, 1, 0, session.ConnHandle);
    if (code != 0)
        services.showMessage(mtError, CheckErrorText(static_cast<int32_t>(code), "NWCCOpenConnByRef"));
    session.VolumeName.clear();
    return code;
}
