// A registry hive held in memory: where there is no Windows registry, and in tests.
#include "core/sysinfo/memory_registry.h"

#include <algorithm>
#include <cstring>

namespace sysinfo {

std::string MemoryRegistry::folded(std::string_view name)
{
    std::string out(name);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return out;
}

void MemoryRegistry::setValue(std::string_view keyName, std::string_view valueName, Value value)
{
    keys_[folded(keyName)].values[folded(valueName)] = std::move(value);
}

void MemoryRegistry::setString(std::string_view keyName, std::string_view valueName,
                               std::string_view text)
{
    Value value{typeString, std::vector<unsigned char>(text.begin(), text.end())};
    value.bytes.push_back(0);
    setValue(keyName, valueName, std::move(value));
}

void MemoryRegistry::setReadOnly(std::string_view keyName, bool readOnly)
{
    keys_[folded(keyName)].readOnly = readOnly;
}

long MemoryRegistry::openKey(Handle root, std::string_view keyName, std::uint32_t /*options*/,
                             std::uint32_t access, Handle &key)
{
    if (root != localMachine)
        return invalidHandle;
    const auto found = keys_.find(folded(keyName));
    if (found == keys_.end())
        return fileNotFound;
    if (found->second.readOnly && (access & keyWriteRights) != 0)
        return accessDenied;
    key = nextHandle_++;
    open_.emplace(key, &found->second);
    ++opened_;
    return success;
}

long MemoryRegistry::queryValue(Handle key, std::string_view valueName, std::uint32_t &type,
                                unsigned char *data, std::uint32_t &size)
{
    const auto open = open_.find(key);
    if (open == open_.end())
        return invalidHandle;
    const auto &values = open->second->values;
    const auto found = values.find(folded(valueName));
    if (found == values.end())
        return fileNotFound;
    const Value &value = found->second;
    const auto room = size;
    type = value.type;
    size = static_cast<std::uint32_t>(value.bytes.size());
    if (data == nullptr)
        return success;
    if (value.bytes.size() > room)
        return moreData;
    if (!value.bytes.empty())
        std::memcpy(data, value.bytes.data(), value.bytes.size());
    return success;
}

long MemoryRegistry::closeKey(Handle key)
{
    if (open_.erase(key) == 0)
        return invalidHandle;
    ++closed_;
    return success;
}

} // namespace sysinfo
