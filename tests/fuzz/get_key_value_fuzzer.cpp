// Feeds arbitrary registry values to the lookup and the launcher. Any answer that breaks their
// contract aborts, so the fuzzer reports it as a crash with the input that caused it.
//
// Input: byte 0 picks the launcher's behaviour and which values exist, bytes 1-4 the PATH value's
// type and bytes 5-8 the folder value's type (little-endian), bytes 9-10 the PATH value's length
// (little-endian, cut to what is there); the PATH value's data follows, and the rest is the
// folder value's data.
#include "memory_registry.h"
#include "core/sysinfo/sys_info.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

using namespace sysinfo;

namespace {

using Bytes = std::vector<unsigned char>;

constexpr std::uint8_t kToolExists = 1;
constexpr std::uint8_t kStartThrows = 2;
constexpr std::uint8_t kStartSucceeds = 4;
constexpr std::uint8_t kNoPath = 8;
constexpr std::uint8_t kNoFolder = 16;

void require(bool condition)
{
    if (!condition)
        std::abort();
}

class ScriptedLauncher : public Launcher {
public:
    explicit ScriptedLauncher(std::uint8_t script) : m_script(script) {}

    bool fileExists(const std::string &path) override
    {
        asked.push_back(path);
        return m_script & kToolExists;
    }
    bool start(const std::string &path) override
    {
        started.push_back(path);
        if (m_script & kStartThrows)
            throw std::runtime_error("cannot start");
        succeeded = (m_script & kStartSucceeds) && !path.empty();
        return succeeded;
    }

    std::vector<std::string> asked;
    std::vector<std::string> started;
    bool succeeded = false;

private:
    std::uint8_t m_script;
};

std::uint32_t littleEndian(const std::uint8_t *bytes, int count)
{
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | bytes[i];
    return value;
}

const char hexDigits[] = "0123456789ABCDEF";

// What GetKeyValue must make of a value read into text; false when the read must fail.
bool expectedText(std::uint32_t type, const Bytes &bytes, std::string &text)
{
    if (bytes.size() > 1024) {
        text.clear();
        return false;
    }
    if (type == Registry::kTypeString) {
        text.assign(bytes.begin(), std::find(bytes.begin(), bytes.end(), 0));
    } else if (type == Registry::kTypeDword) {
        // The first four bytes, least significant first, as hex without leading zeros.
        text.clear();
        for (std::size_t i = std::min<std::size_t>(bytes.size(), 4); i-- > 0;) {
            text += hexDigits[bytes[i] >> 4];
            text += hexDigits[bytes[i] & 15];
        }
        text.erase(0, std::min(text.find_first_not_of('0'), text.size() - 1));
        if (!text.empty())
            text.insert(0, "&h");
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 11)
        return 0;
    const std::uint8_t script = data[0];
    const std::uint32_t pathType = littleEndian(data + 1, 4);
    const std::uint32_t folderType = littleEndian(data + 5, 4);
    const std::size_t pathLength = std::min<std::size_t>(littleEndian(data + 9, 2), size - 11);
    const Bytes pathBytes(data + 11, data + 11 + pathLength);
    const Bytes folderBytes(data + 11 + pathLength, data + size);

    MemoryRegistry hive;
    if (!(script & kNoPath))
        hive.setValue(toolLookup::kPathKey, toolLookup::kPathValue, {pathType, pathBytes});
    if (!(script & kNoFolder))
        hive.setValue(toolLookup::kFolderKey, toolLookup::kFolderValue, {folderType, folderBytes});

    std::string text = "before";
    const bool ok = GetKeyValue(hive, Registry::kLocalMachine, toolLookup::kPathKey, toolLookup::kPathValue, text);
    require(hive.stillOpen() == 0);
    std::string expected = "before";
    require(ok == (!(script & kNoPath) && expectedText(pathType, pathBytes, expected)));
    require(text == (ok ? expected : std::string()));

    ScriptedLauncher launcher(script);
    int messages = 0;
    StartSysInfo(hive, launcher, [&messages](std::string_view shown) {
        require(shown == kSysInfoUnavailableText);
        ++messages;
    });
    require(hive.stillOpen() == 0);
    require(messages == (launcher.succeeded ? 0 : 1));

    // What should have been asked and started, worked out from the input alone.
    std::vector<std::string> asked;
    std::vector<std::string> started;
    std::string path;  // the launcher's text starts empty
    if (ok && expectedText(pathType, pathBytes, path)) {
        started = {path};
    } else {
        std::string folder;  // emptied by the failed first lookup
        if (!(script & kNoFolder) && expectedText(folderType, folderBytes, folder)) {
            asked = {folder + std::string(toolLookup::kFileInFolder)};
            if (script & kToolExists)
                started = asked;
        }
    }
    require(launcher.asked == asked);
    require(launcher.started == started);
    return 0;
}
