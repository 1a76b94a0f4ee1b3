// Fuzzes the path splitter and the path forms over a small loaded network: ParseNWPath,
// PathToUNC and ConvertPathName (short and long) must never crash on any text, and must
// agree with one another:
//   - a split that succeeds gives a declared server and volume (as declared) and a
//     directory path with backslashes only, no empty component and no separator at
//     either end; a split that fails leaves the outputs as they were;
//   - PathToUNC gives "\\server\volume\dir" exactly when the split succeeds, otherwise
//     the input unchanged;
//   - the short form of a short form is itself, and so is the long form of a long form
//     (for a path without doubled or trailing separators).
// Input: the first byte picks the connection handle passed in, the rest is the path.
#include "netware/D_NW.h"
#include "platform/PathForms.h"
#include "platform/netware/NetworkLoader.h"
#include "platform/netware/NetworkReader.h"
#include "util/D_Util.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

const char* const networkText = R"({ "grantwise-network": 1,
  "trees": [ { "name": "CORP_TREE" } ],
  "servers": [
    { "name": "FS1", "tree": "CORP_TREE", "volumes": [
      { "name": "VOL1", "entries": [
        { "dir": "R&D", "entries": [
          { "dir": "Plans 2002", "entries": [ { "dir": "Deep Down", "entries": [ { "file": "x.y.z" } ] } ] },
          { "dir": "Plans 2003" },
          { "file": "Quarterly Report.docx" },
          { "dir": "50% done" } ] },
        { "dir": "a.b.c" },
        { "dir": "PUBLIC", "short": "PUB" },
        { "file": "README" } ] },
      { "name": "SYS" } ] },
    { "name": "FS-2", "tree": "CORP_TREE", "volumes": [ { "name": "DATA", "entries": [ { "dir": " lead" } ] } ] } ]
})";

bool isDeclaredVolume(const Network& net, const std::string& server, const std::string& volume)
{
    for (const NetServer& s : net.servers)
        if (s.name == server)
            for (const NetVolume& v : s.volumes)
                if (v.name == volume)
                    return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // One network for the whole run, in a context that stays current.
    static SimulatedNetWare library(ReadNetwork(networkText, "paths.json"));
    static Services services = [] {
        Services s;
        s.clientLibrary = &library;
        return s;
    }();
    static const ServicesScope scope(services);
    const Network& net = *library.network();
    if (size == 0)
        return 0;
    static const uint32_t handles[] = { 0, 1, 2, 3, 999, 0xFFFF, 0xFFFFFFFF, 1 };
    const uint32_t handleIn = handles[data[0] % 8];
    const std::string path(reinterpret_cast<const char*>(data + 1), size - 1);

    uint32_t conn = handleIn;
    std::string server = "\x01", volume = "\x02", dir = "\x03";
    const uint16_t code = ParseNWPath(path, conn, server, volume, dir);
    if (code == 0) {
        if (!isDeclaredVolume(net, server, volume))
            abort();
        if (dir.find('/') != std::string::npos || dir.find("\\\\") != std::string::npos)
            abort();
        if (!dir.empty() && (dir.front() == '\\' || dir.back() == '\\'))
            abort();
        if (conn == 0 || conn > net.servers.size() || net.servers[conn - 1].name != server)
            abort();
    } else if (server != "\x01" || volume != "\x02" || dir != "\x03") {
        abort();
    }

    // PathToUNC passes a connection handle of 0, so the 'VOLUME:dir' form never splits.
    uint32_t noConn = 0;
    std::string s2, v2, d2;
    const uint16_t code2 = ParseNWPath(path, noConn, s2, v2, d2);
    std::string unc;
    PathToUNC(path, unc);
    if (code2 == 0 ? unc != "\\\\" + s2 + "\\" + v2 + "\\" + d2 : unc != path)
        abort();

    const std::string shortForm = ConvertPathName(path, PathForm::Short);
    if (ConvertPathName(shortForm, PathForm::Short) != shortForm)
        abort();
    // The long form drops one trailing separator per call and joins folders with one
    // separator, so only a path without doubled separators (past a leading '\\') and
    // without a trailing one is its own long form's long form.
    const std::string longForm = ConvertPathName(unc, PathForm::Long);
    const auto isSeparator = [](char c) { return c == '\\' || c == '/'; };
    bool peeled = !unc.empty() && isSeparator(unc.back());
    for (size_t i = 2; i < unc.size(); ++i)
        peeled = peeled || (isSeparator(unc[i]) && isSeparator(unc[i - 1]));
    if (!peeled && ConvertPathName(longForm, PathForm::Long) != longForm)
        abort();
    return 0;
}
