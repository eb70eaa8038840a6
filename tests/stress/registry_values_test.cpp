// Whatever the registry holds (any type, any bytes, any length) the lookup answers sanely, closes
// what it opened, and the launcher either starts one program or shows its one message.
#include "memory_registry.h"
#include "core/sysinfo/sys_info.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

using namespace sysinfo;

namespace {

using Bytes = std::vector<unsigned char>;
constexpr std::string_view kTestKey = "SOFTWARE\\Tarnwick\\Stress";
constexpr std::size_t kBufferSize = 1024;

class Random {
public:
    explicit Random(std::uint32_t seed) : m_rng(seed) {}

    std::uint32_t below(std::uint32_t n) { return m_rng() % n; }
    bool oneIn(std::uint32_t n) { return below(n) == 0; }

    // Types 0 to 11 as Windows numbers them, now and then any 32-bit number.
    std::uint32_t type()
    {
        return oneIn(8) ? std::uint32_t(m_rng()) : below(12);
    }

    // Lengths around the edges of the read buffer more often than elsewhere.
    std::size_t length()
    {
        switch (below(6)) {
        case 0:
            return below(4);
        case 1:
            return kBufferSize - 2 + below(5);
        case 2:
            return 2048 - below(3);
        default:
            return below(2049);
        }
    }

    Bytes bytes(std::size_t n)
    {
        Bytes out(n);
        const std::uint32_t style = below(4);
        for (unsigned char &b : out) {
            switch (style) {
            case 0:  // printable ASCII
                b = static_cast<unsigned char>(' ' + below(95));
                break;
            case 1:  // bytes above 127, as an 8-bit code page holds them
                b = static_cast<unsigned char>(128 + below(128));
                break;
            case 2:  // zeros here and there
                b = oneIn(4) ? 0 : static_cast<unsigned char>(below(256));
                break;
            default:
                b = static_cast<unsigned char>(below(256));
            }
        }
        if (n > 0 && oneIn(2))
            out.back() = 0;
        return out;
    }

private:
    std::mt19937 m_rng;
};

// A string's text ends at its first zero byte, stored terminator or not.
std::string expectedText(const Bytes &bytes)
{
    std::string text(bytes.begin(), bytes.end());
    return text.substr(0, text.find('\0'));
}

// The first four bytes, least significant first, as upper-case hex without leading zeros.
std::string expectedDword(const Bytes &bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (std::size_t i = std::min<std::size_t>(bytes.size(), 4); i-- > 0;) {
        hex += digits[bytes[i] >> 4];
        hex += digits[bytes[i] & 15];
    }
    if (hex.empty())
        return {};
    const std::size_t first = hex.find_first_not_of('0');
    return "&h" + (first == std::string::npos ? std::string("0") : hex.substr(first));
}

TEST(RegistryValues, AnyValueReadsAsItsTextOrFailsCleanly)
{
    Random random(20240607);
    for (int i = 0; i < 20000; ++i) {
        const std::uint32_t type = random.type();
        const Bytes bytes = random.bytes(random.length());
        MemoryRegistry hive;
        hive.setValue(kTestKey, "Value", {type, bytes});
        const std::string before = random.oneIn(2) ? std::string("kept \xE9") : std::string();
        std::string text = before;

        const bool ok = GetKeyValue(hive, Registry::kLocalMachine, kTestKey, "Value", text);

        SCOPED_TRACE("case " + std::to_string(i) + ": type " + std::to_string(type) + ", "
                     + std::to_string(bytes.size()) + " bytes");
        ASSERT_EQ(hive.stillOpen(), 0) << "the key is left open";
        ASSERT_EQ(hive.opened(), hive.closed());
        if (bytes.size() > kBufferSize) {
            ASSERT_FALSE(ok);
            ASSERT_TRUE(text.empty());
            continue;
        }
        ASSERT_TRUE(ok);
        if (type == Registry::kTypeString)
            ASSERT_EQ(text, expectedText(bytes));
        else if (type == Registry::kTypeDword)
            ASSERT_EQ(text, expectedDword(bytes));
        else
            ASSERT_EQ(text, before) << "a value of another type changed the text";
    }
}

class RandomLauncher : public Launcher {
public:
    explicit RandomLauncher(Random &random) : m_random(random) {}

    bool fileExists(const std::string &path) override
    {
        asked.push_back(path);
        answers.push_back(m_random.oneIn(2));
        return answers.back();
    }
    bool start(const std::string &path) override
    {
        started.push_back(path);
        switch (m_random.below(3)) {
        case 0:
            throw std::runtime_error("cannot start");
        case 1:
            return false;
        default:
            succeeded = !path.empty();
            return succeeded;
        }
    }

    std::vector<std::string> asked;
    std::vector<bool> answers;
    std::vector<std::string> started;
    bool succeeded = false;

private:
    Random &m_random;
};

TEST(RegistryValues, TheLauncherStartsOneProgramOrShowsItsOneMessage)
{
    using namespace toolLookup;
    Random random(7);
    for (int i = 0; i < 5000; ++i) {
        MemoryRegistry hive;
        std::uint32_t pathType = 0;
        Bytes path;
        if (!random.oneIn(3)) {
            pathType = random.type();
            path = random.bytes(random.length());
            hive.setValue(kPathKey, kPathValue, {pathType, path});
        }
        if (!random.oneIn(3))
            hive.setValue(kFolderKey, kFolderValue, {random.type(), random.bytes(random.length())});
        if (random.oneIn(5))
            hive.setReadOnly(kPathKey, true);
        if (random.oneIn(5))
            hive.setReadOnly(kFolderKey, true);
        RandomLauncher launcher(random);
        std::vector<std::string> messages;

        StartSysInfo(hive, launcher, [&messages](std::string_view text) { messages.emplace_back(text); });

        SCOPED_TRACE("case " + std::to_string(i));
        ASSERT_EQ(hive.stillOpen(), 0) << "a key is left open";
        ASSERT_LE(launcher.started.size(), 1u) << "more than one start";
        ASSERT_EQ(messages.size(), launcher.succeeded ? 0u : 1u);
        if (!messages.empty())
            ASSERT_EQ(messages.front(), kSysInfoUnavailableText);
        // The folder's tool is asked for at most once, and started exactly when it was found.
        ASSERT_LE(launcher.asked.size(), 1u);
        if (!launcher.asked.empty()) {
            ASSERT_TRUE(launcher.asked.front().ends_with(kFileInFolder));
            if (launcher.answers.front())
                ASSERT_EQ(launcher.started, launcher.asked);
            else
                ASSERT_TRUE(launcher.started.empty()) << "started a tool the folder does not hold";
        }
        // A readable string in the first key is started as it is.
        if (!path.empty() && pathType == Registry::kTypeString && path.size() <= kBufferSize)
            ASSERT_EQ(launcher.started, std::vector<std::string>{expectedText(path)});
    }
}

} // namespace
