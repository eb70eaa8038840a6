// Where there is no Windows: a hive filled from the host, and posix_spawn.
#include "system_backends.h"

#include "host_tool.h"
#include "memory_registry.h"
#include "posix_launcher.h"

namespace about {

std::unique_ptr<Registry> makeSystemRegistry()
{
    auto hive = std::make_unique<MemoryRegistry>();
    fillFromHost(*hive);
    return hive;
}

std::unique_ptr<Launcher> makeSystemLauncher()
{
    return std::make_unique<PosixLauncher>();
}

} // namespace about
