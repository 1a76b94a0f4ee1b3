// D_NW: client start-up, connections, context values and error texts.

#include "netware/D_NW.h"
#include "netware/NWBufferText.h"

#include "services/ErrorBox.h"
#include "services/PendingMessages.h"
#include "util/CaseFold.h"
#include "util/D_Util.h"
#include "util/Utf8.h"

uint16_t InitNWClient()
{
    Services& services = CurrentServices();
    if (services.StartupConn != 0xFFFF)
        return 0;
    NWClientLibrary& lib = services.client();
    uint16_t code = lib.initialize(nullptr, nullptr);
    if (code != 0) {
        ReportNWError(code, "Could not initialize NetWare Client");
        return code;
    }
    uint32_t connRef = 0;
    code = lib.getPrimaryConnRef(connRef);
    if (code != 0) {
        uint32_t scanIndex = 0;
        code = lib.NWCCScanConnRefs(scanIndex, connRef);
    }
    if (code == 0)
        code = lib.NWCCOpenConnByRef(connRef, 1, 0, services.StartupConn);
    ReportNWError(code, "NWCCScanConnRefs/NWCCOpenConnByRef");
    return code;
}

void ListConnections(std::vector<NWConnectionItem>& list)
{
    NWClientLibrary& lib = NWLib();
    uint32_t scanIndex = 0;
    uint16_t code = 0;
    do {
        uint32_t connRef = 0;
        code = lib.NWCCScanConnRefs(scanIndex, connRef);
        ProcessPendingMessages();
        if (code == 0) {
            std::string name;
            GetConnRefServerName(connRef, name);
            if (!name.empty())
                list.push_back({ name, connRef });
        }
    } while (code == 0);
}

uint16_t GetConnInfoStr(uint32_t connHandle, uint16_t item, std::string& text)
{
    char buffer[nw::textBufferSize] = {};
    const uint16_t code = NWLib().getConnInfo(connHandle, item, nw::textBufferSize, buffer);
    text = code == 0 ? NWBufferText(buffer, sizeof buffer) : std::string();
    return code;
}

uint16_t GetConnRefInfoStr(uint32_t connRef, uint16_t item, std::string& text)
{
    char buffer[nw::textBufferSize] = {};
    const uint16_t code = NWLib().getConnRefInfo(connRef, item, nw::textBufferSize, buffer);
    text = code == 0 ? NWBufferText(buffer, sizeof buffer) : std::string();
    return code;
}

uint16_t GetConnTreeName(uint32_t connHandle, std::string& text)
{
    const uint16_t code = GetConnInfoStr(connHandle, nw::connInfoTreeName, text);
    if (code == 0)
        text = TrimTreeName(text);
    return code;
}

uint16_t GetConnRefServerName(uint32_t connRef, std::string& text)
{
    return GetConnRefInfoStr(connRef, nw::connInfoServerName, text);
}

std::string TrimTreeName(const std::string& text)
{
    return TrimRightChars(Utf8Prefix(text, 32), "_");
}

void GetContextInfoStr(uint32_t context, uint32_t key, std::string& text)
{
    char buffer[nw::nameBufferSize] = {};
    if (NWLib().getContextInfo(context, key, buffer) != 0) {
        text.clear();
        return;
    }
    text = ReplaceText(NWBufferText(buffer, sizeof buffer), "CN=", "", true, false);
}

void GetContextTreeName(uint32_t context, std::string& text)
{
    GetContextInfoStr(context, nw::ctxTreeName, text);
}

uint32_t SetDSContext(uint32_t context, const std::string& treeName, const std::string& nameContext)
{
    NWClientLibrary& lib = NWLib();
    if (!treeName.empty()) {
        std::string current;
        GetContextTreeName(context, current);
        if (!SameName(treeName, current)) {
            const uint32_t code = lib.setContextInfo(context, nw::ctxTreeName, StrPtr(treeName));
            if (code != 0)
                return code;
        }
    }
    const std::string name = StripLeadingDot(nameContext);
    return lib.setContextInfo(context, nw::ctxNameContext, StrPtr(name));
}

void SetContextFlag(uint32_t context, char operation, uint32_t bits)
{
    NWClientLibrary& lib = NWLib();
    uint32_t flags = 0;
    lib.getContextInfo(context, nw::ctxFlags, &flags);
    if (operation == '+')
        flags |= bits;
    else if (operation == '-')
        flags &= ~bits;
    lib.setContextInfo(context, nw::ctxFlags, &flags);
}

std::string NWErrorText(uint32_t code)
{
    std::string text = Format("0x%.4X", code);
    NWClientLibrary& lib = NWLib();
    if (lib.loadErrorLibrary())
        text = Format("%s (%s)", text.c_str(), lib.NWstrerror(code).c_str());
    return text;
}

void ReportNWError(uint32_t code, const std::string& operation)
{
    if (code == 0)
        return;
    ShowMsg(mtError, Format("%s returned error %s", operation.c_str(), NWErrorText(code).c_str()));
}
