// Starting a program where there is no Windows: posix_spawn of the path itself, no shell.
#include "core/sysinfo/posix/posix_launcher.h"

#include <cerrno>
#include <csignal>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace sysinfo {

namespace {

// A path with a zero byte in it would name a different, shorter path to the system.
bool isRegularFile(const std::string &path)
{
    if (path.empty() || path.find('\0') != std::string::npos)
        return false;
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

bool PosixLauncher::fileExists(const std::string &path)
{
    return isRegularFile(path);
}

bool PosixLauncher::isStartable(const std::string &path)
{
    return isRegularFile(path) && ::access(path.c_str(), X_OK) == 0;
}

bool PosixLauncher::start(const std::string &path)
{
    // Checked first because some C libraries report a failed exec only through the child's exit.
    if (!isStartable(path))
        return false;

    posix_spawnattr_t attributes;
    if (posix_spawnattr_init(&attributes) != 0)
        return false;
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes, &signals);
    for (const int signal : {SIGPIPE, SIGCHLD, SIGINT, SIGQUIT, SIGTERM, SIGHUP})
        sigaddset(&signals, signal);
    posix_spawnattr_setsigdefault(&attributes, &signals);
    short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
#ifdef POSIX_SPAWN_SETSID
    // Its own session: closing the terminal this program was started from leaves the tool running.
    flags |= POSIX_SPAWN_SETSID;
#endif
    posix_spawnattr_setflags(&attributes, flags);

    std::vector<char> program(path.begin(), path.end());
    program.push_back('\0');
    char *argv[] = {program.data(), nullptr};
    pid_t child = 0;
    const int result = posix_spawn(&child, path.c_str(), nullptr, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    if (result != 0)
        return false;

    // Not waited for, but reaped when it ends: a thread that sleeps in waitpid for this one child
    // leaves no zombie and, unlike ignoring SIGCHLD, does not disturb anyone else's children.
    try {
        std::thread([child] {
            while (::waitpid(child, nullptr, 0) == -1 && errno == EINTR) {
            }
        }).detach();
    } catch (...) {
        // Started all the same; it stays a zombie until this program ends.
    }
    return true;
}

} // namespace sysinfo
