// What a platform gives the system information lookup: the Windows registry's calls and a way to
// start a program, and the tool it starts. Each platform's folder implements it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sysinfo {

// Open a key, read a value, close the key, with the Windows functions' arguments and status codes.
class Registry {
public:
    using Handle = std::uintptr_t;

    static constexpr Handle kLocalMachine = 0x80000002;
    static constexpr std::uint32_t kKeyQueryValue = 0x0001;
    static constexpr std::uint32_t kTypeString = 1;
    static constexpr std::uint32_t kTypeDword = 4;
    static constexpr long kSuccess = 0;

    virtual ~Registry() = default;

    virtual long openKey(Handle root, std::string_view keyName, std::uint32_t options,
                         std::uint32_t access, Handle &key) = 0;
    // On entry size is the room in data; on return the value's byte count, even if it did not fit.
    virtual long queryValue(Handle key, std::string_view valueName, std::uint32_t &type,
                            unsigned char *data, std::uint32_t &size) = 0;
    virtual long closeKey(Handle key) = 0;
};

// Finding and starting another program by its path, as the registry's answer is used.
class Launcher {
public:
    virtual ~Launcher() = default;

    // True for an ordinary or read-only file; false for a folder, a hidden or system file, or nothing.
    virtual bool fileExists(const std::string &path) = 0;
    // Starts the program at path itself (never a command line split at a blank), without waiting
    // for it; false when path names no program that could be started.
    virtual bool start(const std::string &path) = 0;
};

// Starts this platform's system information tool: on Windows the one the registry names, elsewhere
// the host's own. False when there is none or it could not be started.
bool startSystemTool();

} // namespace sysinfo
