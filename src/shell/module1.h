// Routines that several screens share.
#pragma once

class Navigator;

namespace Module1 {

// Unloads every loaded screen, hidden ones included, the most recently loaded first.
// Behind every Exit button; the program ends once the calling handler returns.
void CloseAllScreens(Navigator &navigator);

} // namespace Module1
