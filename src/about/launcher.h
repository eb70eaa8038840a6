// Finding and starting another program by its path; the system information tool is started this way.
#pragma once

#include <string>

namespace about {

class Launcher {
public:
    virtual ~Launcher() = default;

    // True for an ordinary or read-only file; false for a folder, a hidden or system file, or nothing.
    virtual bool fileExists(const std::string &path) = 0;
    // Starts the program at path itself (never a command line split at a blank), without waiting
    // for it; false when path names no program that could be started.
    virtual bool start(const std::string &path) = 0;
};

} // namespace about
