#include "module1.h"

#include "screens.h"

namespace Module1 {

void CloseAllScreens()
{
    Screens &screens = Screens::instance();
    // Downwards, so the positions not yet visited stay valid as screens go.
    for (int i = screens.count() - 1; i >= 0; --i)
        screens.unload(screens.at(i));
}

} // namespace Module1
