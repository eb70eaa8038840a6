// Where there is no Windows registry, the host's own system information program stands in.
#include "core/sysinfo/posix/host_tool.h"

#include "core/sysinfo/posix/posix_launcher.h"
#include "core/sysinfo/tool_lookup.h"

#include <array>

namespace sysinfo {

namespace {

// Hardware and system summaries first, then the desktops' own information centres and monitors.
constexpr std::array<std::string_view, 7> wellKnownPrograms = {
    "hardinfo2", "hardinfo", "kinfocenter", "lshw-gtk",
    "gnome-system-monitor", "mate-system-monitor", "xfce4-taskmanager"};
// Local installs first, as in the usual search order.
constexpr std::array<std::string_view, 3> programFolders = {"/usr/local/bin", "/usr/bin", "/bin"};

} // namespace

std::string findFirstProgram(std::span<const std::string_view> folders,
                             std::span<const std::string_view> programs)
{
    for (const auto program : programs) {
        for (const auto folder : folders) {
            std::string path(folder);
            path += '/';
            path += program;
            if (PosixLauncher::isStartable(path))
                return path;
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
