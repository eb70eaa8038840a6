// Routines that several screens share.
#pragma once

namespace Module1 {

// Unloads every loaded screen, hidden ones included, the most recently loaded first.
// Behind every Exit button; the program ends once the calling handler returns.
void CloseAllScreens();

} // namespace Module1
