// A registry hive held in memory, standing in for the Windows registry in tests.
#pragma once

#include "core/sysinfo/platform.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace sysinfo {

class MemoryRegistry : public Registry {
public:
    static constexpr std::uint32_t kTypeExpandString = 2;
    static constexpr std::uint32_t kTypeBinary = 3;
    // Setting values, creating subkeys and links: what a user who may only read is refused.
    static constexpr std::uint32_t kKeyWriteRights = 0x0026;
    static constexpr long kFileNotFound = 2;
    static constexpr long kAccessDenied = 5;
    static constexpr long kInvalidHandle = 6;
    static constexpr long kMoreData = 234;

    struct Value {
        std::uint32_t type = kTypeString;
        std::vector<unsigned char> bytes;
    };

    // Key and value names compare without regard to case, as the Windows registry's do.
    void setValue(std::string_view keyName, std::string_view valueName, Value value)
    {
        m_keys[folded(keyName)].values[folded(valueName)] = std::move(value);
    }
    void setString(std::string_view keyName, std::string_view valueName, std::string_view text)
    {
        Value value{kTypeString, std::vector<unsigned char>(text.begin(), text.end())};
        value.bytes.push_back(0);
        setValue(keyName, valueName, std::move(value));
    }
    // A read-only key refuses to open when write rights are asked for, as for a user who may
    // only read HKEY_LOCAL_MACHINE.
    void setReadOnly(std::string_view keyName, bool readOnly) { m_keys[folded(keyName)].readOnly = readOnly; }

    int opened() const { return m_opened; }
    int closed() const { return m_closed; }
    int stillOpen() const { return static_cast<int>(m_open.size()); }

    long openKey(Handle root, std::string_view keyName, std::uint32_t /*options*/, std::uint32_t access,
                 Handle &key) override
    {
        if (root != kLocalMachine)
            return kInvalidHandle;
        const auto found = m_keys.find(folded(keyName));
        if (found == m_keys.end())
            return kFileNotFound;
        if (found->second.readOnly && (access & kKeyWriteRights) != 0)
            return kAccessDenied;
        key = m_nextHandle++;
        m_open.emplace(key, &found->second);
        ++m_opened;
        return kSuccess;
    }

    long queryValue(Handle key, std::string_view valueName, std::uint32_t &type, unsigned char *data,
                    std::uint32_t &size) override
    {
        const auto open = m_open.find(key);
        if (open == m_open.end())
            return kInvalidHandle;
        const auto &values = open->second->values;
        const auto found = values.find(folded(valueName));
        if (found == values.end())
            return kFileNotFound;
        const Value &value = found->second;
        const auto room = size;
        type = value.type;
        size = static_cast<std::uint32_t>(value.bytes.size());
        if (data == nullptr)
            return kSuccess;
        if (value.bytes.size() > room)
            return kMoreData;
        if (!value.bytes.empty())
            std::memcpy(data, value.bytes.data(), value.bytes.size());
        return kSuccess;
    }

    long closeKey(Handle key) override
    {
        if (m_open.erase(key) == 0)
            return kInvalidHandle;
        ++m_closed;
        return kSuccess;
    }

private:
    struct Key {
        bool readOnly = false;
        std::map<std::string, Value> values;
    };

    static std::string folded(std::string_view name)
    {
        std::string out(name);
        std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) {
            return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        });
        return out;
    }

    std::map<std::string, Key> m_keys;
    std::map<Handle, const Key *> m_open;
    Handle m_nextHandle = 0x100;
    int m_opened = 0;
    int m_closed = 0;
};

} // namespace sysinfo
