// Where there is no Windows registry, the host's own system information program stands in.
#pragma once

#include "core/sysinfo/memory_registry.h"

#include <span>
#include <string>
#include <string_view>

namespace sysinfo {

// The path with every link resolved, if it names a startable program that only root could have
// put there: the file and every folder above it owned by root and writable by no group or other
// user. Else empty.
std::string trustedProgram(const std::string &path);

// The first of programs, in order of preference, found trusted in one of folders, as its resolved
// path; else empty.
std::string findFirstProgram(std::span<const std::string_view> folders,
                             std::span<const std::string_view> programs);

// Sets the tool's full path in hive when the host has one of the well-known programs.
void fillFromHost(MemoryRegistry &hive);

} // namespace sysinfo
