// What the platform needs before the application exists. One implementation a platform
// (platform/xcb, platform/windows), chosen by the build.
#pragma once

#include <memory>
#include <vector>

struct PlatformStart {
    // Non-zero where there is no display to open: the reason has been said, in one line.
    int status = 0;
    // What Qt is given: the program's name, and the platform where the program chooses it. The
    // program takes no options, so none of Qt's own reaches it either.
    int argc = 0;
    std::vector<char *> argv;
    // Held until the application has connected to the display.
    std::shared_ptr<void> connecting;
    // The time of the user's click or key that launched the program, where the desktop says it; or 0.
    unsigned long launchTime = 0;
};

PlatformStart startPlatform(char *programName);
