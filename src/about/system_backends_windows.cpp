// On Windows: the real registry and CreateProcessA.
#include "system_backends.h"

#include "windows_launcher.h"
#include "windows_registry.h"

namespace about {

std::unique_ptr<Registry> makeSystemRegistry()
{
    return std::make_unique<WindowsRegistry>();
}

std::unique_ptr<Launcher> makeSystemLauncher()
{
    return std::make_unique<WindowsLauncher>();
}

} // namespace about
