// Asked before Qt connects: Qt aborts on an X display it cannot open, and waits without end on
// one that accepts the connection and never answers.
#pragma once

#include <chrono>
#include <memory>
#include <string>

struct xcb_connection_t;

struct X11Disconnect {
    void operator()(xcb_connection_t *connection) const;
};
using X11Connection = std::unique_ptr<xcb_connection_t, X11Disconnect>;

// A connection to the X server that `display` names (":0", "unix:0.0", "host:10.0") if it lets
// the program in within the time given, else none. Held until Qt has connected, it keeps a server
// that resets when its last client leaves from resetting under Qt's own connection.
X11Connection connectToX11(const std::string &display, std::chrono::milliseconds within);
