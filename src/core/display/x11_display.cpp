#include "core/display/x11_display.h"

#include <xcb/xcb.h>

#include <future>
#include <memory>
#include <system_error>
#include <thread>

bool x11DisplayAnswers(const std::string &display, std::chrono::milliseconds within)
{
    // The X library waits for the server's greeting without end, so it connects on a thread of
    // its own; one that never hears back is left behind as the program ends.
    auto answered = std::make_shared<std::promise<bool>>();
    std::future<bool> answer = answered->get_future();
    try {
        std::thread([answered, display] {
            xcb_connection_t *connection = xcb_connect(display.c_str(), nullptr);
            answered->set_value(xcb_connection_has_error(connection) == 0);
            xcb_disconnect(connection);
        }).detach();
    } catch (const std::system_error &) {
        return false;
    }
    return answer.wait_for(within) == std::future_status::ready && answer.get();
}
