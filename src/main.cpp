// Tarnwick: the splash screen first, then whatever the user asks for, until the last screen goes.
#include "shell/navigator.h"
#include "shell/screen_table.h"
#include "widgets/application.h"
#include "widgets/platform_start.h"
#include "widgets/window_manager.h"
#include "widgets/window_sizing.h"

int main(int argc, char *argv[])
{
    PlatformStart start = startPlatform(argc > 0 ? argv[0] : nullptr);
    if (start.status != 0)
        return start.status;
    Application app(start.argc, start.argv.data());
    start.connecting.reset();

    Navigator navigator;
    registerScreens(navigator);
    // The desktop gives the splash screen the keyboard by its own rules: it is asked for as of the
    // user's launching click or key.
    takeKeyboardOnFirstShow(navigator.show(screenName::kSplash, Navigator::Cause::Start), start.launchTime);
    learnFrame(&navigator);
    return app.exec();
}
