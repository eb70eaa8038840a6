#include "core/sysinfo/windows/windows_launcher.h"

#include "core/sysinfo/sys_info.h"
#include "core/sysinfo/windows/windows_registry.h"

#include <windows.h>

namespace sysinfo {

namespace {

bool isSeparator(char c)
{
    return c == '\\' || c == '/';
}

// Only a full path names one file whatever the current folder: a drive letter and its root
// ("C:\...") or a share ("\\server\share\..."). "C:x.exe" and "\x.exe" depend on the current
// folder or drive. A path with a zero byte in it would name a different, shorter path.
bool usable(const std::string &path)
{
    if (path.find('\0') != std::string::npos)
        return false;
    const bool drive = path.size() >= 3
        && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'))
        && path[1] == ':' && isSeparator(path[2]);
    const bool share = path.size() >= 3 && isSeparator(path[0]) && isSeparator(path[1])
        && !isSeparator(path[2]);
    return drive || share;
}

} // namespace

bool WindowsLauncher::fileExists(const std::string &path)
{
    if (!usable(path))
        return false;
    // Looked up by attributes rather than a directory search, so '*' and '?' match nothing.
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
        == 0;
}

bool WindowsLauncher::start(const std::string &path)
{
    if (!usable(path))
        return false;
    // The path is the program to run: given as the application name, a blank in it can never
    // make Windows try "C:\Program.exe" first. The quoted copy is only what the tool sees as argv.
    std::string commandLine = "\"" + path + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

bool startSystemTool()
{
    WindowsRegistry registry;
    WindowsLauncher launcher;
    return startRegisteredTool(registry, launcher);
}

} // namespace sysinfo
