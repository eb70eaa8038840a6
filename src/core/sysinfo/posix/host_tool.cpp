// Where there is no Windows registry, the host's own system information program stands in.
#include "core/sysinfo/posix/host_tool.h"

#include "core/sysinfo/posix/posix_launcher.h"
#include "core/sysinfo/tool_lookup.h"

#include <array>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>

namespace sysinfo {

namespace {

// Hardware and system summaries first, then the desktops' own information centres and monitors.
constexpr std::array<std::string_view, 7> wellKnownPrograms = {
    "hardinfo2", "hardinfo", "kinfocenter", "lshw-gtk",
    "gnome-system-monitor", "mate-system-monitor", "xfce4-taskmanager"};
// Local installs first, as in the usual search order.
constexpr std::array<std::string_view, 3> programFolders = {"/usr/local/bin", "/usr/bin", "/bin"};

// Owned by root and writable by nobody else: no other user could have put it there or swap it.
bool ownedByRootAlone(const char *path)
{
    struct stat info {};
    return ::lstat(path, &info) == 0 && info.st_uid == 0 && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

} // namespace

std::string trustedProgram(const std::string &path)
{
    if (!PosixLauncher::isStartable(path))
        return {};
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr)
        return {};
    std::string checked(resolved);
    if (!PosixLauncher::isStartable(checked))
        return {};
    // The file, then each folder up to the root.
    for (;;) {
        if (!ownedByRootAlone(checked.c_str()))
            return {};
        if (checked == "/")
            return resolved;
        const auto slash = checked.rfind('/');
        checked.erase(slash == 0 ? 1 : slash);
    }
}

std::string findFirstProgram(std::span<const std::string_view> folders,
                             std::span<const std::string_view> programs)
{
    for (const auto program : programs) {
        for (const auto folder : folders) {
            std::string path(folder);
            path += '/';
            path += program;
            std::string trusted = trustedProgram(path);
            if (!trusted.empty())
                return trusted;
        }
    }
    return {};
}

void fillFromHost(MemoryRegistry &hive)
{
    const std::string tool = findFirstProgram(programFolders, wellKnownPrograms);
    if (!tool.empty())
        hive.setString(toolLookup::pathKey, toolLookup::pathValue, tool);
}

} // namespace sysinfo
