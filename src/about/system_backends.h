// This platform's registry and launcher, as the About screen's System Info button uses them.
#pragma once

#include "launcher.h"
#include "registry.h"

#include <memory>

namespace about {

// On Windows the real registry; elsewhere a hive filled afresh from the host on every call.
std::unique_ptr<Registry> makeSystemRegistry();
std::unique_ptr<Launcher> makeSystemLauncher();

} // namespace about
