#include "shell/module1.h"

#include "shell/navigator.h"

namespace Module1 {

void CloseAllScreens(Navigator &navigator)
{
    // Downwards, so the positions not yet visited stay valid as screens go.
    for (int i = navigator.count() - 1; i >= 0; --i)
        navigator.unload(navigator.at(i));
}

} // namespace Module1
