// Starting a program on Windows: CreateProcessA with the path as the program's name.
#include "core/sysinfo/windows/windows_launcher.h"

#include <windows.h>

namespace sysinfo {

namespace {

// A path with a zero byte in it would name a different, shorter path to the system.
bool usable(const std::string &path)
{
    return !path.empty() && path.find('\0') == std::string::npos;
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

} // namespace sysinfo
