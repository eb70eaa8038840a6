// Finding the system information tool through the registry and starting it.
#pragma once

#include "core/sysinfo/platform.h"

#include <functional>
#include <string>
#include <string_view>

namespace sysinfo {

inline constexpr std::string_view kSysInfoUnavailableText =
    "System Information Is Unavailable At This Time";

// Where the registry says the tool is: first as a full path, then as a folder.
namespace toolLookup {
inline constexpr std::string_view kPathKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr std::string_view kPathValue = "PATH";
inline constexpr std::string_view kFolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
inline constexpr std::string_view kFolderValue = "MSINFO";
// Added to the folder; the full path from the first key is used as it is.
inline constexpr std::string_view kFileInFolder = "\\MSINFO32.EXE";
} // namespace toolLookup

// Shows one message to the user and returns once it has been dismissed.
using ShowMessage = std::function<void(std::string_view)>;

// Reads one value as text. On failure KeyVal becomes empty; a value of a type that is neither a
// string nor a DWORD leaves KeyVal as it was. The key is closed on every way out.
bool GetKeyValue(Registry &registry, Registry::Handle KeyRoot, std::string_view KeyName,
                 std::string_view SubKeyRef, std::string &KeyVal);

// Starts the tool the registry names, by its full path or else in its folder; false if it cannot.
bool startRegisteredTool(Registry &registry, Launcher &launcher);

// Starts the tool named by the registry; any failure, whatever its cause, shows the one message
// exactly once. Nothing is thrown.
void StartSysInfo(Registry &registry, Launcher &launcher, const ShowMessage &showMessage);
// The same with this platform's own tool.
void StartSysInfo(const ShowMessage &showMessage);

} // namespace sysinfo
