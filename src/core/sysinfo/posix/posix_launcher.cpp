// Starting a program where there is no Windows: posix_spawn of the path itself, no shell.
#include "core/sysinfo/posix/posix_launcher.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <poll.h>
#include <spawn.h>
#include <sys/eventfd.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace sysinfo {

namespace {

// Only a full path names one file whatever the current folder. A path with a zero byte in it
// would name a different, shorter path to the system.
bool isRegularFile(const std::string &path)
{
    if (path.empty() || path.front() != '/' || path.find('\0') != std::string::npos)
        return false;
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The kernel makes a pidfd close-on-exec itself.
int openPidFd(pid_t pid)
{
#ifdef SYS_pidfd_open
    return int(::syscall(SYS_pidfd_open, pid, 0));
#else
    (void)pid;
    errno = ENOSYS;
    return -1;
#endif
}

// Every program started is reaped when it ends by one thread for the whole process, however
// often the button is pressed. It waits on each child by its own handle (a pidfd), so it never
// reaps a child that someone else in this process started; where the kernel has no pidfds it
// looks at its children once a second instead.
class Reaper {
public:
    static Reaper &instance()
    {
        // Never destroyed: the thread may still be waiting while the program ends.
        static Reaper *reaper = new Reaper;
        return *reaper;
    }

    // False when the reaper cannot run; the child then stays a zombie until this program ends.
    bool adopt(pid_t child)
    {
        std::lock_guard lock(mutex_);
        if (wakeFd_ < 0)
            return false;
        arriving_.push_back(child);
        const std::uint64_t one = 1;
        return ::write(wakeFd_, &one, sizeof one) == sizeof one;
    }

private:
    struct Child {
        pid_t pid;
        int fd;  // -1 without a pidfd
    };

    Reaper()
    {
        wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (wakeFd_ < 0)
            return;
        try {
            std::thread([this] { run(); }).detach();
        } catch (...) {
            ::close(wakeFd_);
            wakeFd_ = -1;
        }
    }

    void run()
    {
        std::vector<Child> children;
        std::vector<pollfd> polled;
        for (;;) {
            polled.assign(1, pollfd{wakeFd_, POLLIN, 0});
            bool polling = false;
            for (const Child &child : children) {
                polled.push_back(pollfd{child.fd, POLLIN, 0});
                polling = polling || child.fd < 0;
            }
            // A negative fd is skipped by poll; those children are looked at on each timeout.
            // Should poll itself fail, everyone is looked at once a second.
            if (::poll(polled.data(), polled.size(), polling ? 1000 : -1) < 0 && errno != EINTR)
                std::this_thread::sleep_for(std::chrono::seconds(1));
            if (polled.front().revents & POLLIN) {
                std::uint64_t count = 0;
                (void)::read(wakeFd_, &count, sizeof count);
                std::lock_guard lock(mutex_);
                for (const pid_t pid : arriving_)
                    children.push_back(Child{pid, openPidFd(pid)});
                arriving_.clear();
            }
            std::erase_if(children, [](const Child &child) { return reap(child); });
        }
    }

    static bool reap(const Child &child)
    {
        pid_t result = 0;
        do {
            result = ::waitpid(child.pid, nullptr, WNOHANG);
        } while (result == -1 && errno == EINTR);
        if (result == 0)
            return false;
        if (child.fd >= 0)
            ::close(child.fd);
        return true;
    }

    std::mutex mutex_;
    std::vector<pid_t> arriving_;
    int wakeFd_ = -1;
};

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
    // The tool starts as from a fresh shell: no signal blocked, none ignored or caught.
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes, &signals);
    // Every bit set, not sigfillset: that leaves out the two signals the C library keeps for its
    // threads, and posix_spawn then hands them on ignored, which a program of its own may not expect.
    std::memset(&signals, 0xFF, sizeof signals);
    posix_spawnattr_setsigdefault(&attributes, &signals);
    short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
#ifdef POSIX_SPAWN_SETSID
    // Its own session: closing the terminal this program was started from leaves the tool running.
    flags |= POSIX_SPAWN_SETSID;
#endif
    posix_spawnattr_setflags(&attributes, flags);

    // Nothing this program holds open (the X connection, files, pipes) is handed on.
    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0) {
        posix_spawnattr_destroy(&attributes);
        return false;
    }
    const bool closing = posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1) == 0;

    std::vector<char> program(path.begin(), path.end());
    program.push_back('\0');
    char *argv[] = {program.data(), nullptr};
    pid_t child = 0;
    const int result = closing ? posix_spawn(&child, path.c_str(), &actions, &attributes, argv, environ) : -1;
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (result != 0)
        return false;

    // Not waited for, but reaped when it ends, without disturbing anyone else's children as
    // ignoring SIGCHLD would.
    Reaper::instance().adopt(child);
    return true;
}

} // namespace sysinfo
