// Finding the system information tool through the registry and starting it.
#pragma once

#include "core/sysinfo/platform.h"

#include <functional>
#include <string>
#include <string_view>

namespace sysinfo {

inline constexpr std::string_view sysInfoUnavailableText =
    "System Information Is Unavailable At This Time";

// Shows one message to the user and returns once it has been dismissed.
using ShowMessage = std::function<void(std::string_view)>;

// Reads one value as text. On failure KeyVal becomes empty; a value of a type that is neither a
// string nor a DWORD leaves KeyVal as it was. The key is closed on every way out.
bool GetKeyValue(Registry &registry, Registry::Handle KeyRoot, std::string_view KeyName,
                 std::string_view SubKeyRef, std::string &KeyVal);

// Starts the tool named by the registry; any failure, whatever its cause, shows the one message
// exactly once. Nothing is thrown.
void StartSysInfo(Registry &registry, Launcher &launcher, const ShowMessage &showMessage);
// The same with this platform's registry and launcher.
void StartSysInfo(const ShowMessage &showMessage);

} // namespace sysinfo
