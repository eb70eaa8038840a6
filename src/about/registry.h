// The registry as the system information lookup uses it: open a key, read a value, close the key,
// with the Windows functions' arguments and status codes, so a hive in memory can stand in for it.
#pragma once

#include <cstdint>
#include <string_view>

namespace about {

class Registry {
public:
    using Handle = std::uintptr_t;

    static constexpr Handle localMachine = 0x80000002;

    static constexpr std::uint32_t keyQueryValue = 0x0001;
    static constexpr std::uint32_t keySetValue = 0x0002;
    static constexpr std::uint32_t keyCreateSubKey = 0x0004;
    static constexpr std::uint32_t keyCreateLink = 0x0020;
    static constexpr std::uint32_t keyRead = 0x20019;
    static constexpr std::uint32_t keyWriteRights = keySetValue | keyCreateSubKey | keyCreateLink;

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

} // namespace about
