#include "platform/netware/NetworkLoader.h"

#include "platform/RegularFile.h"
#include "platform/netware/NetworkReader.h"
#include "util/D_Util.h"

#include <QFile>

#include <stdexcept>

namespace {

// The name messages use for a description file.
std::string displayNameOf(const std::string& file)
{
    return file == builtInNetwork ? std::string("built-in demo network (") + builtInNetwork + ")" : file;
}

} // namespace

std::string NetworkSourceFile(const std::string& explicitFile)
{
    if (!explicitFile.empty())
        return explicitFile;
    const std::string fromEnvironment = GetEnvVar("GRANTWISE_NETWORK");
    return fromEnvironment.empty() ? std::string(builtInNetwork) : fromEnvironment;
}

std::unique_ptr<SimulatedNetWare> LoadNetwork(const std::string& explicitFile)
{
    const std::string file = NetworkSourceFile(explicitFile);
    const std::string name = displayNameOf(file);
    // Running out of memory anywhere while loading is a load error like any other.
    try {
        std::string bytes;
        if (file == builtInNetwork) {
            QFile input(QString::fromStdString(file));
            if (!input.open(QIODevice::ReadOnly))
                return std::make_unique<SimulatedNetWare>(
                    name + ": cannot be read: " + input.errorString().toStdString());
            bytes = input.readAll().toStdString();
        } else {
            RegularFileRead read = ReadRegularFile(file, maxNetworkDescriptionBytes);
            if (!read.ok)
                return std::make_unique<SimulatedNetWare>(name + ": cannot be read: " + read.error);
            bytes = std::move(read.bytes);
        }
        return std::make_unique<SimulatedNetWare>(ReadNetwork(bytes, name));
    } catch (const NetworkLoadError& error) {
        return std::make_unique<SimulatedNetWare>(std::string(error.what()));
    } catch (const std::bad_alloc&) {
        return std::make_unique<SimulatedNetWare>(name + ": not enough memory to load it");
    } catch (const std::length_error&) {
        return std::make_unique<SimulatedNetWare>(name + ": not enough memory to load it");
    }
}
