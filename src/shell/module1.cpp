#include "shell/module1.h"

#include "shell/navigator.h"

namespace Module1 {

void CloseAllScreens(Navigator &navigator)
{
    navigator.unloadAll();
}

} // namespace Module1
