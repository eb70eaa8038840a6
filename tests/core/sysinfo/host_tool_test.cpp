// Finding the host's system information program where there is no Windows registry.
#include "core/sysinfo/posix/host_tool.h"
#include "core/sysinfo/sys_info.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <array>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace sysinfo;

namespace {

// Folders made under the tests' working folder, which only root may write to when the tests run as
// root; elsewhere the tests that need such folders skip.
class TrustedFolders : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string probe = folder.write("probe", "#!/bin/sh\n", 0755);
        if (trustedProgram(probe) != probe)
            GTEST_SKIP() << "needs root and a working folder only root may write to";
    }

    TempFolder folder{std::filesystem::current_path()};
};

} // namespace

TEST_F(TrustedFolders, FirstTrustedProgramInOrderOfPreference)
{
    TempFolder second(std::filesystem::current_path());
    folder.write("hardinfo", "#!/bin/sh\n", 0644);
    const std::string wanted = second.write("kinfocenter", "#!/bin/sh\n", 0755);
    folder.write("lshw-gtk", "#!/bin/sh\n", 0755);
    std::filesystem::create_directories(folder.path() / "kinfocenter.d");

    const std::string a = folder.path().string();
    const std::string b = second.path().string();
    const std::array<std::string_view, 2> folders = {a, b};
    const std::array<std::string_view, 3> programs = {"hardinfo", "kinfocenter", "lshw-gtk"};
    EXPECT_EQ(findFirstProgram(folders, programs), wanted);

    const std::array<std::string_view, 1> absent = {"no-such-tool"};
    EXPECT_EQ(findFirstProgram(folders, absent), "");
}

TEST_F(TrustedFolders, ToolThatAnotherUserCouldReplaceIsRefused)
{
    const std::string tool = folder.write("sub/tool", "#!/bin/sh\n", 0755);
    const std::filesystem::path sub = folder.path() / "sub";
    ASSERT_EQ(trustedProgram(tool), tool);

    struct Change {
        const char *what;
        std::filesystem::path path;
        mode_t mode;
        uid_t owner;
    };
    const Change changes[] = {
        {"tool writable by its group", tool, 0775, 0},
        {"tool writable by anyone", tool, 0757, 0},
        {"tool owned by another user", tool, 0755, 65534},
        {"folder writable by its group", sub, 0775, 0},
        {"folder writable by anyone", sub, 0777, 0},
        {"folder owned by another user", sub, 0755, 65534},
        {"folder above it writable by anyone", folder.path(), 0777, 0},
    };
    for (const Change &change : changes) {
        struct stat before {};
        ASSERT_EQ(::stat(change.path.c_str(), &before), 0);
        ASSERT_EQ(::chmod(change.path.c_str(), change.mode), 0);
        ASSERT_EQ(::chown(change.path.c_str(), change.owner, -1), 0);
        EXPECT_EQ(trustedProgram(tool), "") << change.what;
        ::chown(change.path.c_str(), before.st_uid, -1);
        ::chmod(change.path.c_str(), before.st_mode & 07777);
        ASSERT_EQ(trustedProgram(tool), tool) << "restored after " << change.what;
    }
}

TEST_F(TrustedFolders, LinksAreFollowedToWhereTheToolReallyIs)
{
    TempFolder open;  // under the temporary folder, which everyone may write to
    const std::string planted = open.write("tool", "#!/bin/sh\n", 0755);
    const std::filesystem::path toPlanted = folder.path() / "to-planted";
    std::filesystem::create_symlink(planted, toPlanted);
    EXPECT_EQ(trustedProgram(toPlanted.string()), "") << "a trusted link to a tool anyone could replace";

    const std::string tool = folder.write("tool", "#!/bin/sh\n", 0755);
    const std::filesystem::path toTool = open.path() / "to-tool";
    std::filesystem::create_symlink(tool, toTool);
    EXPECT_EQ(trustedProgram(toTool.string()), tool) << "the resolved path is what is kept";
}

TEST(HostTool, ToolsUnderTheTemporaryFolderAreRefused)
{
    TempFolder folder;
    folder.write("kinfocenter", "#!/bin/sh\n", 0755);
    const std::string a = folder.path().string();
    const std::array<std::string_view, 1> folders = {a};
    const std::array<std::string_view, 1> programs = {"kinfocenter"};
    EXPECT_EQ(findFirstProgram(folders, programs), "");
}

TEST(HostTool, SystemProgramsAreFoundByTheirResolvedPath)
{
    const std::array<std::string_view, 2> folders = {"/bin", "/usr/bin"};
    const std::array<std::string_view, 1> programs = {"true"};
    EXPECT_EQ(findFirstProgram(folders, programs), std::filesystem::canonical("/bin/true").string());
    EXPECT_EQ(trustedProgram("true"), "") << "a relative path";
}

TEST(HostTool, SystemBackendsWithoutAToolShowTheMessageOnce)
{
    if (const std::string tool = hostTool(); !tool.empty())
        GTEST_SKIP() << "this host has " << tool << "; not started from a test";

    std::vector<std::string> messages;
    StartSysInfo([&messages](std::string_view text) { messages.emplace_back(text); });
    EXPECT_EQ(messages, std::vector<std::string>{std::string(kSysInfoUnavailableText)});
}
