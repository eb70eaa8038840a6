#include "core/sysinfo/posix/host_tool.h"

#include "core/sysinfo/sys_info.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace sysinfo {

namespace {

// Hardware and system summaries first, then the desktops' own information centres and monitors.
constexpr std::array<std::string_view, 7> kWellKnownPrograms = {
    "hardinfo2", "hardinfo", "kinfocenter", "lshw-gtk",
    "gnome-system-monitor", "mate-system-monitor", "xfce4-taskmanager"};
// Local installs first, as in the usual search order.
constexpr std::array<std::string_view, 3> kProgramFolders = {"/usr/local/bin", "/usr/bin", "/bin"};

// Owned by root and writable by nobody else: no other user could have put it there or swap it.
bool ownedByRootAlone(const char *path)
{
    struct stat info {};
    return ::lstat(path, &info) == 0 && info.st_uid == 0 && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

} // namespace

bool isStartable(const std::string &path)
{
    // Only a full path names one file whatever the current folder. A path with a zero byte in it
    // would name a different, shorter path to the system.
    if (path.empty() || path.front() != '/' || path.find('\0') != std::string::npos)
        return false;
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

std::string trustedProgram(const std::string &path)
{
    char resolved[PATH_MAX];
    if (!isStartable(path) || ::realpath(path.c_str(), resolved) == nullptr || !isStartable(resolved))
        return {};
    // The file, then each folder up to the root.
    for (std::string checked = resolved;; checked.erase(std::max<std::size_t>(checked.rfind('/'), 1))) {
        if (!ownedByRootAlone(checked.c_str()))
            return {};
        if (checked == "/")
            return resolved;
    }
}

std::string findFirstProgram(std::span<const std::string_view> folders,
                             std::span<const std::string_view> programs)
{
    for (const auto program : programs) {
        for (const auto folder : folders) {
            std::string trusted = trustedProgram(std::string(folder) + '/' + std::string(program));
            if (!trusted.empty())
                return trusted;
        }
    }
    return {};
}

std::string hostTool()
{
    return findFirstProgram(kProgramFolders, kWellKnownPrograms);
}

bool startSystemTool()
{
    return startDetached(hostTool());
}

bool startDetached(const std::string &path)
{
    // Checked first because some C libraries report a failed exec only through the child's exit.
    if (!isStartable(path))
        return false;
    std::string program = path;
    char *argv[] = {program.data(), nullptr};

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // The tool starts as from a fresh shell: no signal blocked, none ignored or caught.
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes, &signals);
    // Every bit set, not sigfillset: that leaves out the two signals the C library keeps for its
    // threads, and posix_spawn then hands them on ignored, which a program may not expect.
    std::memset(&signals, 0xFF, sizeof signals);
    posix_spawnattr_setsigdefault(&attributes, &signals);
    // Its own session: closing the terminal this program was started from leaves the tool running.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSID);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // Nothing this program holds open (the X connection, files, pipes) is handed on.
    const bool closing = posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1) == 0;

    // A short-lived child starts the tool and ends at once: the tool, orphaned, is reaped by the
    // system, and this program waits only for that child, which reports whether the start worked.
    const pid_t child = closing ? ::fork() : -1;
    if (child == 0) {
        pid_t tool = 0;
        _exit(posix_spawn(&tool, path.c_str(), &actions, &attributes, argv, environ) == 0 ? 0 : 1);
    }
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    int status = 0;
    while (child > 0 && ::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR)
            return false;
    }
    return child > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace sysinfo
