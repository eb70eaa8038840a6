#include "core/sysinfo/sys_info.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>

namespace sysinfo {

namespace {

constexpr std::size_t kReadBufferSize = 1024;

struct KeyCloser {
    Registry &registry;
    Registry::Handle key;
    ~KeyCloser() { registry.closeKey(key); }
};

// A DWORD's last byte is its most significant: a zero there is part of the number (00 00 00 00 is "&h0").
std::string dwordText(const unsigned char *bytes, std::size_t count)
{
    if (count == 0)
        return {};
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < std::min<std::size_t>(count, 4); ++i)
        value |= std::uint32_t{bytes[i]} << (8 * i);
    char digits[9];
    std::snprintf(digits, sizeof digits, "%X", static_cast<unsigned>(value));
    return std::string("&h") + digits;
}

// Any failure, a thrown error included, ends in the one message.
void startOrReport(const std::function<bool()> &start, const ShowMessage &showMessage)
{
    bool started = false;
    try {
        started = start();
    } catch (...) {
    }
    if (!started && showMessage)
        showMessage(kSysInfoUnavailableText);
}

} // namespace

bool GetKeyValue(Registry &registry, Registry::Handle KeyRoot, std::string_view KeyName,
                 std::string_view SubKeyRef, std::string &KeyVal)
{
    Registry::Handle key = 0;
    // Read rights only: a user who may not write to HKEY_LOCAL_MACHINE still finds the tool.
    if (registry.openKey(KeyRoot, KeyName, 0, Registry::kKeyQueryValue, key) != Registry::kSuccess) {
        KeyVal.clear();
        return false;
    }
    const KeyCloser closer{registry, key};

    std::array<unsigned char, kReadBufferSize> buffer{};
    std::uint32_t type = 0;
    std::uint32_t size = kReadBufferSize;
    if (registry.queryValue(key, SubKeyRef, type, buffer.data(), size) != Registry::kSuccess) {
        KeyVal.clear();
        return false;
    }
    const std::size_t count = std::min<std::size_t>(size, kReadBufferSize);

    if (type == Registry::kTypeString) {
        // What the system would start is the text up to its first zero byte; anything after it
        // ("C:\\x.exe\0\0", or a zero and stray bytes) is not part of the path.
        const std::string_view text(reinterpret_cast<const char *>(buffer.data()), count);
        KeyVal.assign(text.substr(0, text.find('\0')));
    }
    else if (type == Registry::kTypeDword)
        KeyVal = dwordText(buffer.data(), count);
    return true;
}

bool startRegisteredTool(Registry &registry, Launcher &launcher)
{
    std::string path;
    using namespace toolLookup;
    if (!GetKeyValue(registry, Registry::kLocalMachine, kPathKey, kPathValue, path)) {
        if (!GetKeyValue(registry, Registry::kLocalMachine, kFolderKey, kFolderValue, path))
            return false;
        path += kFileInFolder;
        if (!launcher.fileExists(path))
            return false;
    }
    return launcher.start(path);
}

void StartSysInfo(Registry &registry, Launcher &launcher, const ShowMessage &showMessage)
{
    startOrReport([&] { return startRegisteredTool(registry, launcher); }, showMessage);
}

void StartSysInfo(const ShowMessage &showMessage)
{
    startOrReport(startSystemTool, showMessage);
}

} // namespace sysinfo
