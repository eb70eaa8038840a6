#include "widgets/platform_start.h"

// Windows always has a desktop to draw on.
PlatformStart startPlatform(char *programName)
{
    static char fallbackName[] = "tarnwick";
    PlatformStart start;
    start.argv = {programName ? programName : fallbackName, nullptr};
    start.argc = 1;
    return start;
}
