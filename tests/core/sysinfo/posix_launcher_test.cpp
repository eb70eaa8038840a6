// The real launcher really starting a program, and refusing what is not one.
#include "core/sysinfo/posix/host_tool.h"
#include "core/sysinfo/sys_info.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace sysinfo;
using namespace std::chrono_literals;

namespace {

bool waitFor(const std::function<bool()> &condition, std::chrono::milliseconds limit = 10s)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

// What /proc says the process is doing: 'Z' for a zombie, nothing once it is gone.
char processState(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return 0;
    const auto close = line.rfind(')');
    return close == std::string::npos || close + 2 >= line.size() ? 0 : line[close + 2];
}

std::ptrdiff_t entriesIn(const std::filesystem::path &folder)
{
    return std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator());
}

// The line of /proc/<pid>/status that starts with field, without the field.
std::string statusField(pid_t pid, const std::string &field)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field, 0) == 0)
            return line.substr(line.find_first_not_of(" \t", field.size()));
    }
    return {};
}

std::string commandOf(pid_t pid)
{
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

std::vector<pid_t> pidsIn(const std::string &file)
{
    std::ifstream in(file);
    std::vector<pid_t> pids;
    for (pid_t pid = 0; in >> pid;)
        pids.push_back(pid);
    return pids;
}

// A program that appends its pid to marker and then sleeps as "sleep" itself.
std::string sleeper(const TempFolder &folder, const std::string &marker)
{
    return folder.write("sleeper", "#!/bin/sh\necho $$ >> '" + marker + "'\nexec sleep 30\n", 0755);
}

} // namespace

TEST(PosixLauncher, StartsTheProgramAtAPathWithBlanksWithoutWaiting)
{
    TempFolder folder;
    const std::string marker = (folder.path() / "ran").string();
    // Writes its own pid and argv[0], then keeps running so the test can see it was not waited for.
    const std::string tool = folder.write("Program Files/sys info", "#!/bin/sh\necho \"$$ $0 $#\" > '"
                                              + marker + ".tmp'\nmv '" + marker + ".tmp' '" + marker
                                              + "'\nexec sleep 30\n",
                                          0755);
    folder.write("Program", "#!/bin/sh\ntouch '" + marker + ".wrong'\n", 0755);

    const auto before = std::chrono::steady_clock::now();
    ASSERT_TRUE(startDetached(tool));
    EXPECT_LT(std::chrono::steady_clock::now() - before, 5s);
    ASSERT_TRUE(waitFor([&] { return std::filesystem::exists(marker); }));

    std::ifstream in(marker);
    pid_t pid = 0;
    std::string argv0;
    int arguments = -1;
    in >> pid;
    in.ignore(1);
    std::getline(in, argv0);
    std::istringstream tail(argv0.substr(argv0.rfind(' ') + 1));
    tail >> arguments;
    argv0.erase(argv0.rfind(' '));
    EXPECT_EQ(argv0, tool);
    EXPECT_EQ(arguments, 0);
    EXPECT_FALSE(std::filesystem::exists(marker + ".wrong"));

    ASSERT_GT(pid, 0);
    ASSERT_NE(processState(pid), 0) << "still running: start did not wait for it";
    EXPECT_NE(statusField(pid, "PPid:"), std::to_string(::getpid())) << "not this program's child to reap";
    ::kill(pid, SIGTERM);
}

TEST(PosixLauncher, RefusesWhatIsNotAStartableProgram)
{
    TempFolder folder;
    const std::string plain = folder.write("plain", "#!/bin/sh\nexit 0\n", 0644);
    const std::string noInterpreter = folder.write("noshebang", "\x7f" "ELFgarbage", 0755);
    std::filesystem::create_directories(folder.path() / "folder");

    EXPECT_FALSE(startDetached((folder.path() / "missing").string()));
    EXPECT_FALSE(startDetached(plain)) << "not executable";
    EXPECT_FALSE(startDetached((folder.path() / "folder").string()));
    EXPECT_FALSE(startDetached(""));
    EXPECT_FALSE(startDetached(noInterpreter)) << "exec fails: the spawn error is a failure";
    EXPECT_FALSE(startDetached(std::string("/bin/sh\0junk", 12)));
}

TEST(PosixLauncher, RefusesRelativePaths)
{
    TempFolder folder;
    const std::string marker = (folder.path() / "ran").string();
    folder.write("tool", "#!/bin/sh\ntouch '" + marker + "'\n", 0755);
    const auto before = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());

    for (const char *relative : {"tool", "./tool"}) {
        EXPECT_FALSE(isStartable(relative)) << relative;
        EXPECT_FALSE(startDetached(relative)) << relative;
    }
    EXPECT_TRUE(isStartable((folder.path() / "tool").string())) << "the same file by its full path";
    std::filesystem::current_path(before);
    std::this_thread::sleep_for(200ms);
    EXPECT_FALSE(std::filesystem::exists(marker));
}

// The tool inherits none of this program's files and none of its ignored signals.
TEST(PosixLauncher, ChildGetsOnlyTheStandardFilesAndDefaultSignals)
{
    TempFolder folder;
    const std::string marker = (folder.path() / "pids").string();
    const std::string tool = sleeper(folder, marker);
    // Left open across exec on purpose, as a careless library might.
    const int leaked = ::open("/dev/null", O_RDONLY);
    ASSERT_GT(leaked, 2);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    struct sigaction oldUsr1 {}, oldAlrm {};
    ::sigaction(SIGUSR1, &ignore, &oldUsr1);
    ::sigaction(SIGALRM, &ignore, &oldAlrm);

    const bool started = startDetached(tool);
    ::close(leaked);
    ::sigaction(SIGUSR1, &oldUsr1, nullptr);
    ::sigaction(SIGALRM, &oldAlrm, nullptr);
    ASSERT_TRUE(started);
    ASSERT_TRUE(waitFor([&] { return pidsIn(marker).size() == 1; }));
    const pid_t pid = pidsIn(marker).front();
    ASSERT_TRUE(waitFor([&] { return commandOf(pid) == "sleep"; }));

    const std::filesystem::path fds = "/proc/" + std::to_string(pid) + "/fd";
    std::vector<std::string> open;
    for (const auto &entry : std::filesystem::directory_iterator(fds))
        open.push_back(entry.path().filename().string());
    std::sort(open.begin(), open.end());
    EXPECT_EQ(open, (std::vector<std::string>{"0", "1", "2"}));
    EXPECT_EQ(statusField(pid, "SigIgn:"), "0000000000000000");
    EXPECT_EQ(statusField(pid, "SigBlk:"), "0000000000000000");
    ::kill(pid, SIGTERM);
    EXPECT_TRUE(waitFor([&] { return processState(pid) == 0; }));
}

TEST(PosixLauncher, ManyStartsLeaveNoChildAndNoThread)
{
    TempFolder folder;
    const std::string marker = (folder.path() / "pids").string();
    const std::string tool = sleeper(folder, marker);
    const auto threads = entriesIn("/proc/self/task");

    constexpr std::size_t kPresses = 40;
    for (std::size_t i = 0; i < kPresses; ++i)
        ASSERT_TRUE(startDetached(tool));
    const pid_t left = ::waitpid(-1, nullptr, WNOHANG);
    EXPECT_TRUE(left == -1 && errno == ECHILD) << "a child of this program is left to reap: " << left;
    EXPECT_EQ(entriesIn("/proc/self/task"), threads) << "no thread a program started";
    ASSERT_TRUE(waitFor([&] { return pidsIn(marker).size() == kPresses; }));
    for (const pid_t pid : pidsIn(marker))
        ::kill(pid, SIGTERM);
}

// The user's environment is handed on as it stands.
TEST(PosixLauncher, ToolGetsThisProgramsEnvironment)
{
    TempFolder folder;
    const std::string marker = (folder.path() / "env").string();
    const std::string tool = folder.write("tool", "#!/bin/sh\nenv > '" + marker + ".tmp'\nmv '" + marker + ".tmp' '"
                                                      + marker + "'\n", 0755);
    ::setenv("TARNWICK_LAUNCHED_RECEIVED", "the user's", 1);
    ::setenv("TARNWICK_LAUNCHED_OTHER", "as it stands", 1);

    ASSERT_TRUE(startDetached(tool));
    ASSERT_TRUE(waitFor([&] { return std::filesystem::exists(marker); }));
    std::ifstream in(marker);
    std::vector<std::string> seen;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("TARNWICK_LAUNCHED_", 0) == 0)
            seen.push_back(line);
    }
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen, (std::vector<std::string>{"TARNWICK_LAUNCHED_OTHER=as it stands",
                                              "TARNWICK_LAUNCHED_RECEIVED=the user's"}));
}
