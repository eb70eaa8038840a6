// The Windows registry through advapi32's narrow-character functions.
#pragma once

#include "core/sysinfo/platform.h"

namespace sysinfo {

class WindowsRegistry : public Registry {
public:
    long openKey(Handle root, std::string_view keyName, std::uint32_t options, std::uint32_t access,
                 Handle &key) override;
    long queryValue(Handle key, std::string_view valueName, std::uint32_t &type,
                    unsigned char *data, std::uint32_t &size) override;
    long closeKey(Handle key) override;
};

} // namespace sysinfo
