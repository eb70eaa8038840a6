// Feeds arbitrary registry values to the lookup and the launcher. Any answer that breaks their
// contract aborts, so the fuzzer reports it as a crash with the input that caused it.
//
// Input: byte 0 picks the launcher's behaviour, bytes 1-4 the value's type (little-endian), the
// rest is the value's data. The same data also stands in the folder key, reversed.
#include "core/sysinfo/memory_registry.h"
#include "core/sysinfo/sys_info.h"
#include "core/sysinfo/tool_lookup.h"

#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

using namespace sysinfo;

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

class ScriptedLauncher : public Launcher {
public:
    explicit ScriptedLauncher(std::uint8_t script) : script_(script) {}

    bool fileExists(const std::string &) override { return script_ & 1; }
    bool start(const std::string &path) override
    {
        ++starts;
        if (script_ & 2)
            throw std::runtime_error("cannot start");
        succeeded = (script_ & 4) && !path.empty();
        return succeeded;
    }

    int starts = 0;
    bool succeeded = false;

private:
    std::uint8_t script_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 5)
        return 0;
    const std::uint8_t script = data[0];
    const std::uint32_t type = std::uint32_t(data[1]) | std::uint32_t(data[2]) << 8
                               | std::uint32_t(data[3]) << 16 | std::uint32_t(data[4]) << 24;
    const std::vector<unsigned char> bytes(data + 5, data + size);

    MemoryRegistry hive;
    hive.setValue(toolLookup::pathKey, toolLookup::pathValue, {type, bytes});
    hive.setValue(toolLookup::folderKey, toolLookup::folderValue,
                  {Registry::typeString, std::vector<unsigned char>(bytes.rbegin(), bytes.rend())});

    std::string text = "before";
    const bool ok = GetKeyValue(hive, Registry::localMachine, toolLookup::pathKey, toolLookup::pathValue, text);
    require(hive.stillOpen() == 0);
    require(ok == (bytes.size() <= 1024));
    if (!ok) {
        require(text.empty());
    } else if (type == Registry::typeString) {
        std::string expected(bytes.begin(), bytes.end());
        if (!expected.empty() && expected.back() == '\0')
            expected.pop_back();
        require(text == expected);
    } else if (type == Registry::typeDword) {
        require(bytes.empty() ? text.empty() : text.size() >= 3 && text.size() <= 10 && text.rfind("&h", 0) == 0);
        for (std::size_t i = 2; i < text.size(); ++i)
            require((text[i] >= '0' && text[i] <= '9') || (text[i] >= 'A' && text[i] <= 'F'));
    } else {
        require(text == "before");
    }

    ScriptedLauncher launcher(script);
    int messages = 0;
    StartSysInfo(hive, launcher, [&messages](std::string_view shown) {
        require(shown == sysInfoUnavailableText);
        ++messages;
    });
    require(hive.stillOpen() == 0);
    require(launcher.starts <= 1);
    require(messages == (launcher.succeeded ? 0 : 1));
    return 0;
}
