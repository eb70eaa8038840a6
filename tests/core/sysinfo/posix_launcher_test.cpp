// The real launcher really starting a program, and refusing what is not one.
#include "core/sysinfo/posix/posix_launcher.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <sstream>
#include <thread>

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

    PosixLauncher launcher;
    const auto before = std::chrono::steady_clock::now();
    ASSERT_TRUE(launcher.start(tool));
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
    ::kill(pid, SIGTERM);
    EXPECT_TRUE(waitFor([&] { return processState(pid) == 0; }))
        << "the ended program is reaped, not left a zombie (state " << processState(pid) << ")";
}

TEST(PosixLauncher, RefusesWhatIsNotAStartableProgram)
{
    TempFolder folder;
    const std::string plain = folder.write("plain", "#!/bin/sh\nexit 0\n", 0644);
    const std::string noInterpreter = folder.write("noshebang", "\x7f" "ELFgarbage", 0755);
    std::filesystem::create_directories(folder.path() / "folder");

    PosixLauncher launcher;
    EXPECT_FALSE(launcher.start((folder.path() / "missing").string()));
    EXPECT_FALSE(launcher.start(plain)) << "not executable";
    EXPECT_FALSE(launcher.start((folder.path() / "folder").string()));
    EXPECT_FALSE(launcher.start(""));
    EXPECT_FALSE(launcher.start(noInterpreter)) << "exec fails: the spawn error is a failure";
    EXPECT_FALSE(launcher.start(std::string("/bin/sh\0junk", 12)));
}

TEST(PosixLauncher, OnlyRegularFilesExist)
{
    TempFolder folder;
    const std::string readOnly = folder.write("tool", "data", 0444);

    PosixLauncher launcher;
    EXPECT_TRUE(launcher.fileExists(readOnly));
    EXPECT_FALSE(launcher.fileExists(folder.path().string()));
    EXPECT_FALSE(launcher.fileExists((folder.path() / "missing").string()));
    EXPECT_FALSE(launcher.fileExists(""));
    EXPECT_FALSE(launcher.fileExists(readOnly + std::string("\0x", 2)));
}
