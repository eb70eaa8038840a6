// Asked before Qt connects: Qt aborts on an X display it cannot open, and waits without end on
// one that accepts the connection and never answers.
#pragma once

#include <chrono>
#include <string>

// Whether the X server that `display` names (":0", "unix:0.0", "host:10.0") lets the program in
// within the time given.
bool x11DisplayAnswers(const std::string &display, std::chrono::milliseconds within);
