// On Windows: the real registry and CreateProcessA.
#include "core/sysinfo/platform.h"

#include "core/sysinfo/windows/windows_launcher.h"
#include "core/sysinfo/windows/windows_registry.h"

namespace sysinfo {

std::unique_ptr<Registry> makeSystemRegistry()
{
    return std::make_unique<WindowsRegistry>();
}

std::unique_ptr<Launcher> makeSystemLauncher()
{
    return std::make_unique<WindowsLauncher>();
}

} // namespace sysinfo
