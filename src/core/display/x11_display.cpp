#include "core/display/x11_display.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Place {
    bool local = true;
    std::string host;      // for TCP
    std::string path;      // for a socket of the host's own
    int number = -1;
};

bool parse(const std::string &display, Place &place)
{
    const std::string::size_type colon = display.rfind(':');
    if (colon == std::string::npos || colon + 1 >= display.size())
        return false;
    std::string host = display.substr(0, colon);
    std::string protocol;
    if (const auto slash = host.find('/'); slash != std::string::npos && host.front() != '/') {
        protocol = host.substr(0, slash);
        host = host.substr(slash + 1);
    }
    int number = 0;
    std::string::size_type at = colon + 1;
    for (; at < display.size() && display[at] != '.'; ++at) {
        if (display[at] < '0' || display[at] > '9' || number > 99999)
            return false;
        number = number * 10 + (display[at] - '0');
    }
    if (at == colon + 1)
        return false;
    place.number = number;
    if (!host.empty() && host.front() == '/') {
        place.path = host;
        return true;
    }
    place.local = protocol == "unix" || (protocol.empty() && (host.empty() || host == "unix"));
    if (place.local)
        place.path = "/tmp/.X11-unix/X" + std::to_string(number);
    else
        place.host = host.empty() ? "localhost" : host;
    return true;
}

int remainingMs(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? int(left) : 0;
}

bool waitFor(int fd, short events, Clock::time_point deadline)
{
    for (;;) {
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, remainingMs(deadline));
        if (ready > 0)
            return true;
        if (ready == 0 || errno != EINTR)
            return false;
    }
}

// Connects without blocking, sends the opening of the X protocol and waits for the first byte of
// the server's reply: success, failure or a request to authenticate all mean it answers.
bool answers(const sockaddr *address, socklen_t length, Clock::time_point deadline)
{
    const int fd = ::socket(address->sa_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    bool answered = false;
    bool connected = ::connect(fd, address, length) == 0;
    if (!connected && errno == EINPROGRESS && waitFor(fd, POLLOUT, deadline)) {
        int error = 0;
        socklen_t size = sizeof error;
        connected = ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
    }
    // Byte order 'l', protocol 11.0, no authorisation.
    const unsigned char opening[12] = {'l', 0, 11, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    if (connected && ::send(fd, opening, sizeof opening, MSG_NOSIGNAL) == ssize_t(sizeof opening)) {
        while (waitFor(fd, POLLIN, deadline)) {
            char reply = 0;
            const ssize_t got = ::recv(fd, &reply, 1, 0);
            if (got < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            answered = got == 1;
            break;
        }
    }
    ::close(fd);
    return answered;
}

bool answersOnSocket(const std::string &path, bool abstract, Clock::time_point deadline)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::size_t offset = abstract ? 1 : 0;
    if (path.size() + offset >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path + offset, path.data(), path.size());
    const auto length = socklen_t(offsetof(sockaddr_un, sun_path) + offset + path.size() + (abstract ? 0 : 1));
    return answers(reinterpret_cast<const sockaddr *>(&address), length, deadline);
}

} // namespace

bool x11DisplayAnswers(const std::string &display, std::chrono::milliseconds within)
{
    const Clock::time_point deadline = Clock::now() + within;
    Place place;
    if (!parse(display, place))
        return false;
    if (place.local) {
        // As the X library tries them: the abstract socket first, then the file.
        return answersOnSocket(place.path, true, deadline) || answersOnSocket(place.path, false, deadline);
    }
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo *found = nullptr;
    const std::string port = std::to_string(6000 + place.number);
    if (::getaddrinfo(place.host.c_str(), port.c_str(), &hints, &found) != 0)
        return false;
    bool answered = false;
    for (const addrinfo *entry = found; entry && !answered && remainingMs(deadline) > 0; entry = entry->ai_next)
        answered = answers(entry->ai_addr, entry->ai_addrlen, deadline);
    ::freeaddrinfo(found);
    return answered;
}
