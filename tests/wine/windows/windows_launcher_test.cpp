// The Windows launcher really starting programs, and StartSysInfo on the real registry.
#include "core/sysinfo/sys_info.h"
#include "core/sysinfo/windows/windows_launcher.h"
#include "registry_writer.h"
#include "wine_scratch.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Files and folders made for one test, removed again afterwards, newest first.
class Scratch {
public:
    ~Scratch()
    {
        for (auto it = m_made.rbegin(); it != m_made.rend(); ++it) {
            SetFileAttributesA(it->c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA((*it + ".ran").c_str());
            if (!DeleteFileA(it->c_str()))
                RemoveDirectoryA(it->c_str());
        }
    }
    std::string folder(const std::string &path)
    {
        CreateDirectoryA(path.c_str(), nullptr);
        m_made.push_back(path);
        return path;
    }
    std::string file(const std::string &path, DWORD attributes = FILE_ATTRIBUTE_NORMAL)
    {
        HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
        SetFileAttributesA(path.c_str(), attributes);
        m_made.push_back(path);
        return path;
    }
    // A copy of the marker program, which leaves "<path>.ran" when it runs.
    std::string marker(const std::string &path)
    {
        DeleteFileA((path + ".ran").c_str());
        CopyFileA(besideThisProgram("marker.exe").c_str(), path.c_str(), FALSE);
        m_made.push_back(path);
        return path;
    }

private:
    std::vector<std::string> m_made;
};

std::string tempFolder()
{
    char path[MAX_PATH];
    const DWORD length = GetTempPathA(MAX_PATH, path);
    return std::string(path, length) + "Tarnwick Test";
}

bool startCommandLine(std::string commandLine)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

using Messages = std::vector<std::string>;

Messages startSysInfo()
{
    Messages messages;
    sysinfo::StartSysInfo([&messages](std::string_view text) { messages.emplace_back(text); });
    return messages;
}

} // namespace

TEST(WindowsLauncher, OnlyOrdinaryAndReadOnlyFilesExist)
{
    Scratch scratch;
    const std::string folder = scratch.folder(tempFolder());
    const std::string normal = scratch.file(folder + "\\normal.exe");
    const std::string readOnly = scratch.file(folder + "\\readonly.exe", FILE_ATTRIBUTE_READONLY);
    const std::string hidden = scratch.file(folder + "\\hidden.exe", FILE_ATTRIBUTE_HIDDEN);
    const std::string system = scratch.file(folder + "\\system.exe", FILE_ATTRIBUTE_SYSTEM);
    const std::string subfolder = scratch.folder(folder + "\\MSINFO32.EXE");
    ASSERT_NE(GetFileAttributesA(hidden.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    ASSERT_NE(GetFileAttributesA(system.c_str()) & FILE_ATTRIBUTE_SYSTEM, 0u);

    sysinfo::WindowsLauncher launcher;
    EXPECT_TRUE(launcher.fileExists(normal));
    EXPECT_TRUE(launcher.fileExists(readOnly));
    EXPECT_FALSE(launcher.fileExists(hidden));
    EXPECT_FALSE(launcher.fileExists(system));
    EXPECT_FALSE(launcher.fileExists(subfolder));
    EXPECT_FALSE(launcher.fileExists(folder + "\\missing.exe"));
    EXPECT_FALSE(launcher.fileExists(folder + "\\normal.*")) << "no wildcard search";
    EXPECT_FALSE(launcher.fileExists(""));
    EXPECT_FALSE(launcher.fileExists(normal + std::string("\0x", 2)));
}

TEST(WindowsLauncher, RefusesWhatIsNotAProgram)
{
    Scratch scratch;
    const std::string folder = scratch.folder(tempFolder());
    const std::string notes = scratch.file(folder + "\\notes.txt");

    sysinfo::WindowsLauncher launcher;
    EXPECT_FALSE(launcher.start(folder + "\\missing.exe"));
    EXPECT_FALSE(launcher.start(folder));
    EXPECT_FALSE(launcher.start(notes));
    EXPECT_FALSE(launcher.start(""));
}

TEST(WindowsLauncher, RefusesRelativePaths)
{
    Scratch scratch;
    const std::string folder = scratch.folder(tempFolder());
    const std::string tool = scratch.marker(folder + "\\MSINFO32.EXE");
    ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));

    sysinfo::WindowsLauncher launcher;
    for (const std::string &relative : {std::string("MSINFO32.EXE"), std::string(".\\MSINFO32.EXE"),
                                        std::string("\\MSINFO32.EXE"), tool.substr(0, 2) + "MSINFO32.EXE"}) {
        EXPECT_FALSE(launcher.fileExists(relative)) << relative;
        EXPECT_FALSE(launcher.start(relative)) << relative;
    }
    EXPECT_TRUE(launcher.fileExists(tool)) << "the same file by its full path is found";
    SetCurrentDirectoryA("C:\\");
    Sleep(300);
    EXPECT_FALSE(fileThere(tool + ".ran"));
}

TEST(WindowsLauncher, PathWithABlankStartsThatProgramAndNoOther)
{
    if (!underWine())
        GTEST_SKIP() << "plants C:\\Program.exe: only in a disposable Wine prefix";
    Scratch scratch;
    const std::string trap = scratch.marker("C:\\Program.exe");
    scratch.folder("C:\\Program Files\\Tarnwick Test");
    const std::string tool = scratch.marker("C:\\Program Files\\Tarnwick Test\\MSINFO32.EXE");

    ASSERT_TRUE(startCommandLine(tool));
    ASSERT_TRUE(waitForFile(trap + ".ran"))
        << "the path as a bare command line must reach the trap, or this test proves nothing";
    DeleteFileA((trap + ".ran").c_str());

    sysinfo::WindowsLauncher launcher;
    ASSERT_TRUE(launcher.start(tool));
    ASSERT_TRUE(waitForFile(tool + ".ran"));
    EXPECT_EQ(readFile(tool + ".ran"), "\"" + tool + "\"") << "no arguments";
    Sleep(300);
    EXPECT_FALSE(fileThere(trap + ".ran"));
}

TEST(WindowsSysInfo, StartsTheToolTheRegistryNamesOrShowsTheMessageOnce)
{
    if (!underWine())
        GTEST_SKIP() << "writes the tool's own registry values: only in a disposable Wine prefix";
    using namespace sysinfo::toolLookup;
    Scratch scratch;
    scratch.marker("C:\\Program.exe");
    const std::string folder = scratch.folder("C:\\Program Files\\Tarnwick Test");
    const std::string empty = scratch.folder(folder + "\\Empty");
    const std::string tool = scratch.marker(folder + "\\MSINFO32.EXE");
    const std::string theMessage(sysinfo::kSysInfoUnavailableText);

    {
        RegistryWriter first{std::string(kPathKey)};
        ASSERT_TRUE(first.setString(std::string(kPathValue), tool));
        EXPECT_EQ(startSysInfo(), Messages{});
        EXPECT_TRUE(waitForFile(tool + ".ran")) << "from the first key's full path";
        DeleteFileA((tool + ".ran").c_str());

        // Stored with a second zero, or a zero and stray bytes: the tool before the zero starts.
        for (const std::string &tail : {std::string(2, '\0'), std::string("\0junk\0", 6)}) {
            const std::string stored = tool + tail;
            ASSERT_TRUE(first.set(std::string(kPathValue), REG_SZ, {stored.begin(), stored.end()}));
            EXPECT_EQ(startSysInfo(), Messages{});
            EXPECT_TRUE(waitForFile(tool + ".ran")) << "from a path with extra zero bytes";
            DeleteFileA((tool + ".ran").c_str());
        }
        const std::string expandable = tool + '\0';
        ASSERT_TRUE(first.set(std::string(kPathValue), REG_EXPAND_SZ, {expandable.begin(), expandable.end()}));
        EXPECT_EQ(startSysInfo(), Messages{theMessage}) << "an expandable string is not converted";

        ASSERT_TRUE(first.setString(std::string(kPathValue), folder + "\\missing.exe"));
        RegistryWriter second{std::string(kFolderKey)};
        ASSERT_TRUE(second.setString(std::string(kFolderValue), folder));
        EXPECT_EQ(startSysInfo(), Messages{theMessage}) << "the second key is not consulted";
    }
    {
        RegistryWriter second{std::string(kFolderKey)};
        ASSERT_TRUE(second.setString(std::string(kFolderValue), folder));
        EXPECT_EQ(startSysInfo(), Messages{});
        EXPECT_TRUE(waitForFile(tool + ".ran")) << "from the second key's folder";

        ASSERT_TRUE(second.setString(std::string(kFolderValue), empty));
        EXPECT_EQ(startSysInfo(), Messages{theMessage}) << "folder without the tool";
    }
    EXPECT_EQ(startSysInfo(), Messages{theMessage}) << "neither value";
    Sleep(300);
    EXPECT_FALSE(fileThere("C:\\Program.exe.ran"));
}
