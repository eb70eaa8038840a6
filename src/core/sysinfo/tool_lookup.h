// Where the registry says the system information tool is: first as a full path, then as a folder.
#pragma once

#include <string_view>

namespace sysinfo::toolLookup {

inline constexpr std::string_view pathKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr std::string_view pathValue = "PATH";
inline constexpr std::string_view folderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
inline constexpr std::string_view folderValue = "MSINFO";
// Added to the folder; the full path from the first key is used as it is.
inline constexpr std::string_view fileInFolder = "\\MSINFO32.EXE";

} // namespace sysinfo::toolLookup
