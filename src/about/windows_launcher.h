// Starting a program on Windows: CreateProcessA with the path as the program's name.
#pragma once

#include "launcher.h"

namespace about {

class WindowsLauncher : public Launcher {
public:
    bool fileExists(const std::string &path) override;
    bool start(const std::string &path) override;
};

} // namespace about
