// Where there is no Windows registry, the host's own system information program stands in.
#pragma once

#include "core/sysinfo/memory_registry.h"

#include <span>
#include <string>
#include <string_view>

namespace sysinfo {

// The first of programs, in order of preference, found startable in one of folders; else empty.
std::string findFirstProgram(std::span<const std::string_view> folders,
                             std::span<const std::string_view> programs);

// Sets the tool's full path in hive when the host has one of the well-known programs.
void fillFromHost(MemoryRegistry &hive);

} // namespace sysinfo
