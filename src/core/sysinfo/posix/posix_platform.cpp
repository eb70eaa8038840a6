// Where there is no Windows: a hive filled from the host, and posix_spawn.
#include "core/sysinfo/platform.h"

#include "core/sysinfo/posix/host_tool.h"
#include "core/sysinfo/memory_registry.h"
#include "core/sysinfo/posix/posix_launcher.h"

namespace sysinfo {

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

} // namespace sysinfo
