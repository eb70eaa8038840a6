// A registry hive held in memory: where there is no Windows registry, and in tests.
#pragma once

#include "core/sysinfo/platform.h"

#include <map>
#include <string>
#include <vector>

namespace sysinfo {

class MemoryRegistry : public Registry {
public:
    struct Value {
        std::uint32_t type = typeString;
        std::vector<unsigned char> bytes;
    };

    // Key and value names compare without regard to case, as the Windows registry's do.
    void setValue(std::string_view keyName, std::string_view valueName, Value value);
    void setString(std::string_view keyName, std::string_view valueName, std::string_view text);
    // A read-only key refuses to open when write rights are asked for, as for a user who may
    // only read HKEY_LOCAL_MACHINE.
    void setReadOnly(std::string_view keyName, bool readOnly);

    int opened() const { return opened_; }
    int closed() const { return closed_; }
    int stillOpen() const { return static_cast<int>(open_.size()); }

    long openKey(Handle root, std::string_view keyName, std::uint32_t options, std::uint32_t access,
                 Handle &key) override;
    long queryValue(Handle key, std::string_view valueName, std::uint32_t &type,
                    unsigned char *data, std::uint32_t &size) override;
    long closeKey(Handle key) override;

private:
    struct Key {
        bool readOnly = false;
        std::map<std::string, Value> values;
    };

    static std::string folded(std::string_view name);

    std::map<std::string, Key> keys_;
    std::map<Handle, const Key *> open_;
    Handle nextHandle_ = 0x100;
    int opened_ = 0;
    int closed_ = 0;
};

} // namespace sysinfo
