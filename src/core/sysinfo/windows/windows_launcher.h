// Starting a program on Windows: CreateProcessA with the path as the program's name.
#pragma once

#include "core/sysinfo/platform.h"

namespace sysinfo {

class WindowsLauncher : public Launcher {
public:
    bool fileExists(const std::string &path) override;
    bool start(const std::string &path) override;
};

} // namespace sysinfo
