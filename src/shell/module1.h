// Routines that several screens share.
#pragma once

#include "shell/navigator.h"

namespace Module1 {

// Unloads every loaded screen. Behind every Exit button; the program ends once the calling handler returns.
inline void CloseAllScreens(Navigator &navigator)
{
    navigator.unloadAll();
}

} // namespace Module1
