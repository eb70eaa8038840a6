// Starting a program where there is no Windows: posix_spawn of the path itself, no shell.
#pragma once

#include "core/sysinfo/platform.h"

namespace sysinfo {

class PosixLauncher : public Launcher {
public:
    bool fileExists(const std::string &path) override;
    bool start(const std::string &path) override;

    // A regular file this process may execute.
    static bool isStartable(const std::string &path);
};

} // namespace sysinfo
