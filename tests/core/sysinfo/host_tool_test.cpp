// Finding the host's system information program where there is no Windows registry.
#include "core/sysinfo/posix/host_tool.h"
#include "core/sysinfo/sys_info.h"
#include "temp_folder.h"
#include "core/sysinfo/tool_lookup.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

using namespace sysinfo;

TEST(HostTool, FirstStartableProgramInOrderOfPreference)
{
    TempFolder first;
    TempFolder second;
    first.write("hardinfo", "#!/bin/sh\n", 0644);
    const std::string wanted = second.write("kinfocenter", "#!/bin/sh\n", 0755);
    first.write("lshw-gtk", "#!/bin/sh\n", 0755);
    std::filesystem::create_directories(first.path() / "kinfocenter.d");

    const std::string a = first.path().string();
    const std::string b = second.path().string();
    const std::array<std::string_view, 2> folders = {a, b};
    const std::array<std::string_view, 3> programs = {"hardinfo", "kinfocenter", "lshw-gtk"};
    EXPECT_EQ(findFirstProgram(folders, programs), wanted);

    const std::array<std::string_view, 1> absent = {"no-such-tool"};
    EXPECT_EQ(findFirstProgram(folders, absent), "");
}

TEST(HostTool, SystemBackendsWithoutAToolShowTheMessageOnce)
{
    MemoryRegistry hive;
    fillFromHost(hive);
    std::string path;
    if (GetKeyValue(hive, Registry::localMachine, toolLookup::pathKey, toolLookup::pathValue, path))
        GTEST_SKIP() << "this host has " << path << "; not started from a test";

    std::vector<std::string> messages;
    StartSysInfo([&messages](std::string_view text) { messages.emplace_back(text); });
    EXPECT_EQ(messages, std::vector<std::string>{std::string(sysInfoUnavailableText)});
}
