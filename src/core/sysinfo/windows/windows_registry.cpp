#include "core/sysinfo/windows/windows_registry.h"

#include <string>

#include <windows.h>

namespace sysinfo {

namespace {

// The predefined roots are 32-bit values that Windows sign-extends into a handle.
HKEY toHkey(Registry::Handle handle)
{
    if (handle >= 0x80000000u && handle <= 0xFFFFFFFFu)
        return reinterpret_cast<HKEY>(static_cast<std::intptr_t>(static_cast<std::int32_t>(handle)));
    return reinterpret_cast<HKEY>(handle);
}

} // namespace

long WindowsRegistry::openKey(Handle root, std::string_view keyName, std::uint32_t options,
                              std::uint32_t access, Handle &key)
{
    HKEY opened = nullptr;
    const LONG result = RegOpenKeyExA(toHkey(root), std::string(keyName).c_str(), options,
                                      static_cast<REGSAM>(access), &opened);
    if (result == ERROR_SUCCESS)
        key = reinterpret_cast<Handle>(opened);
    return result;
}

long WindowsRegistry::queryValue(Handle key, std::string_view valueName, std::uint32_t &type,
                                 unsigned char *data, std::uint32_t &size)
{
    DWORD valueType = 0;
    DWORD valueSize = size;
    const LONG result = RegQueryValueExA(toHkey(key), std::string(valueName).c_str(), nullptr,
                                         &valueType, data, &valueSize);
    type = valueType;
    size = valueSize;
    return result;
}

long WindowsRegistry::closeKey(Handle key)
{
    return RegCloseKey(toHkey(key));
}

} // namespace sysinfo
