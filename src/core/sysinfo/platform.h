// What a platform gives the system information lookup: a registry to read the tool's place from,
// and a way to start it. Each platform's folder implements it; a hive in memory stands in elsewhere.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace sysinfo {

// Open a key, read a value, close the key, with the Windows functions' arguments and status codes.
class Registry {
public:
    using Handle = std::uintptr_t;

    static constexpr Handle localMachine = 0x80000002;

    static constexpr std::uint32_t keyQueryValue = 0x0001;
    // Setting values, creating subkeys and links: what a user who may only read is refused.
    static constexpr std::uint32_t keyWriteRights = 0x0026;

    static constexpr std::uint32_t typeString = 1;
    static constexpr std::uint32_t typeExpandString = 2;
    static constexpr std::uint32_t typeBinary = 3;
    static constexpr std::uint32_t typeDword = 4;

    static constexpr long success = 0;
    static constexpr long fileNotFound = 2;
    static constexpr long accessDenied = 5;
    static constexpr long invalidHandle = 6;
    static constexpr long moreData = 234;

    virtual ~Registry() = default;

    virtual long openKey(Handle root, std::string_view keyName, std::uint32_t options,
                         std::uint32_t access, Handle &key) = 0;
    // On entry size is the room in data; on return the value's byte count (also on moreData).
    virtual long queryValue(Handle key, std::string_view valueName, std::uint32_t &type,
                            unsigned char *data, std::uint32_t &size) = 0;
    virtual long closeKey(Handle key) = 0;
};

// Finding and starting another program by its path; the system information tool is started this way.
class Launcher {
public:
    virtual ~Launcher() = default;

    // True for an ordinary or read-only file; false for a folder, a hidden or system file, or nothing.
    virtual bool fileExists(const std::string &path) = 0;
    // Starts the program at path itself (never a command line split at a blank), without waiting
    // for it; false when path names no program that could be started.
    virtual bool start(const std::string &path) = 0;
};

// On Windows the real registry; elsewhere a hive filled afresh from the host on every call.
std::unique_ptr<Registry> makeSystemRegistry();
std::unique_ptr<Launcher> makeSystemLauncher();

} // namespace sysinfo
