// Where there is no Windows registry: the host's own system information program, found among the
// well-known ones and started by posix_spawn of its path, no shell.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace sysinfo {

// A regular file at a full path that this process may execute.
bool isStartable(const std::string &path);

// The path with every link resolved, if it names a startable program that only root could have
// put there: the file and every folder above it owned by root and writable by no one else.
std::string trustedProgram(const std::string &path);

// The first of programs, in order of preference, found trusted in one of folders; else empty.
std::string findFirstProgram(std::span<const std::string_view> folders,
                             std::span<const std::string_view> programs);

// The host's system information program as it would be started; empty if it has none.
std::string hostTool();

// Starts the program at path, without arguments or waiting, in its own session with only the standard files,
// every signal at its default and this program's environment; leaves no child behind. False if it cannot.
bool startDetached(const std::string &path);

} // namespace sysinfo
