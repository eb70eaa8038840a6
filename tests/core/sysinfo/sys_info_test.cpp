// The registry lookup and the launcher's decisions, on a hive in memory and a recording launcher.
#include "memory_registry.h"
#include "core/sysinfo/sys_info.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <vector>

using namespace sysinfo;

namespace {

using Bytes = std::vector<unsigned char>;

Bytes bytesOf(std::string_view text, bool terminated)
{
    Bytes bytes(text.begin(), text.end());
    if (terminated)
        bytes.push_back(0);
    return bytes;
}

constexpr std::string_view kTestKey = "SOFTWARE\\Tarnwick\\Test";

class RecordingLauncher : public Launcher {
public:
    std::set<std::string> existing;
    std::set<std::string> startable;
    bool throwOnStart = false;
    std::vector<std::string> asked;
    std::vector<std::string> started;

    bool fileExists(const std::string &path) override
    {
        asked.push_back(path);
        return existing.count(path) != 0;
    }
    bool start(const std::string &path) override
    {
        started.push_back(path);
        if (throwOnStart)
            throw std::runtime_error("cannot start");
        return startable.count(path) != 0;
    }
};

// Lets every call through to a hive, but throws from the value read when asked to.
class ThrowingRegistry : public Registry {
public:
    explicit ThrowingRegistry(MemoryRegistry &hive) : m_hive(hive) {}
    long openKey(Handle root, std::string_view name, std::uint32_t options, std::uint32_t access,
                 Handle &key) override
    {
        return m_hive.openKey(root, name, options, access, key);
    }
    long queryValue(Handle, std::string_view, std::uint32_t &, unsigned char *,
                    std::uint32_t &) override
    {
        throw std::runtime_error("registry failure");
    }
    long closeKey(Handle key) override { return m_hive.closeKey(key); }

private:
    MemoryRegistry &m_hive;
};

struct Lookup {
    bool ok = false;
    std::string text;
};

Lookup read(MemoryRegistry &hive, std::string_view value, std::string before = {})
{
    Lookup result{false, std::move(before)};
    result.ok = GetKeyValue(hive, Registry::kLocalMachine, kTestKey, value, result.text);
    return result;
}

} // namespace

TEST(Registry, StringEndsAtItsFirstZero)
{
    MemoryRegistry hive;
    hive.setValue(kTestKey, "with", {Registry::kTypeString, bytesOf("C:\\x.exe", true)});
    hive.setValue(kTestKey, "without", {Registry::kTypeString, bytesOf("C:\\x.exe", false)});
    hive.setValue(kTestKey, "two", {Registry::kTypeString, bytesOf(std::string_view("ab\0", 3), true)});
    hive.setValue(kTestKey, "tail", {Registry::kTypeString, bytesOf(std::string_view("ab\0cd", 5), false)});
    hive.setValue(kTestKey, "lead", {Registry::kTypeString, bytesOf(std::string_view("\0cd", 3), true)});

    EXPECT_EQ(read(hive, "with").text, "C:\\x.exe");
    EXPECT_EQ(read(hive, "without").text, "C:\\x.exe");
    EXPECT_EQ(read(hive, "two").text, "ab");
    EXPECT_EQ(read(hive, "tail").text, "ab") << "bytes after a zero are not part of the text";
    EXPECT_EQ(read(hive, "lead", "old").text, "");
    EXPECT_EQ(read(hive, "WITH", "old").text, "C:\\x.exe") << "names ignore case; text replaced";
}

// At the edges of the 1024-byte read buffer: no bytes, a lone zero, a full buffer with or without
// its zero, and one byte too many, which fails the read and empties the text.
TEST(Registry, ValuesAtTheEdgesOfTheBuffer)
{
    struct Case {
        Bytes bytes;
        bool ok;
        std::string text;
    };
    const Case cases[] = {{{}, true, ""},
                          {{0}, true, ""},
                          {bytesOf(std::string(1024, 'b'), false), true, std::string(1024, 'b')},
                          {bytesOf(std::string(1023, 'e'), true), true, std::string(1023, 'e')},
                          {bytesOf(std::string(1024, 'a'), true), false, ""}};
    for (const Case &c : cases) {
        MemoryRegistry hive;
        hive.setValue(kTestKey, "v", {Registry::kTypeString, c.bytes});
        const Lookup result = read(hive, "v", "before");
        EXPECT_EQ(result.ok, c.ok) << c.bytes.size() << " bytes";
        EXPECT_EQ(result.text, c.text) << c.bytes.size() << " bytes";
        EXPECT_EQ(hive.stillOpen(), 0);
    }
}

TEST(Registry, DwordReadsAsHexFromTheValueAlone)
{
    struct Case {
        Bytes bytes;
        std::string text;
    };
    const std::vector<Case> cases = {
        {{0x2B, 0x1A, 0x00, 0x00}, "&h1A2B"},
        {{0x00, 0x00, 0x00, 0x00}, "&h0"},
        {{0xFF, 0xFF, 0xFF, 0xFF}, "&hFFFFFFFF"},
        {{0x00, 0x00, 0x2B, 0x1A}, "&h1A2B0000"},
        {{0x05, 0x00, 0x00, 0x10}, "&h10000005"},
        {{0x2B, 0x00}, "&h2B"},
        {{0x00}, "&h0"},
        {{}, ""},
    };
    for (const Case &c : cases) {
        MemoryRegistry hive;
        hive.setValue(kTestKey, "n", {Registry::kTypeDword, c.bytes});
        const Lookup result = read(hive, "n", "held before");
        EXPECT_TRUE(result.ok);
        EXPECT_EQ(result.text, c.text) << "with " << c.bytes.size() << " bytes";
    }
}

TEST(Registry, OtherTypesLeaveTheTextAsItWas)
{
    MemoryRegistry hive;
    hive.setValue(kTestKey, "expand", {MemoryRegistry::kTypeExpandString, bytesOf("%SystemRoot%", true)});
    hive.setValue(kTestKey, "binary", {MemoryRegistry::kTypeBinary, {1, 2, 3}});

    for (const char *name : {"expand", "binary"}) {
        const Lookup result = read(hive, name, "held before");
        EXPECT_TRUE(result.ok) << name;
        EXPECT_EQ(result.text, "held before") << name;
    }
}

TEST(Registry, MissingKeyOrValueFailsAndEmptiesTheText)
{
    MemoryRegistry hive;
    hive.setString(kTestKey, "present", "x");

    const Lookup noValue = read(hive, "absent", "before");
    EXPECT_FALSE(noValue.ok);
    EXPECT_EQ(noValue.text, "");

    std::string text = "before";
    EXPECT_FALSE(GetKeyValue(hive, Registry::kLocalMachine, "SOFTWARE\\Nowhere", "present", text));
    EXPECT_EQ(text, "");
    text = "before";
    EXPECT_FALSE(GetKeyValue(hive, 0x80000001, kTestKey, "present", text)) << "another root";
    EXPECT_EQ(text, "");
    EXPECT_EQ(hive.opened(), 1);
    EXPECT_EQ(hive.closed(), 1);
}

TEST(Registry, ReadOnlyKeyIsReadWithoutWriteRights)
{
    MemoryRegistry hive;
    hive.setString(kTestKey, "v", "readable");
    hive.setReadOnly(kTestKey, true);

    Registry::Handle key = 0;
    ASSERT_EQ(hive.openKey(Registry::kLocalMachine, kTestKey, 0, 0x2003F, key), MemoryRegistry::kAccessDenied)
        << "the hive must refuse write rights, or this test proves nothing";

    const Lookup result = read(hive, "v");
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.text, "readable");
}

TEST(Registry, KeyIsClosedOnEveryWayOut)
{
    MemoryRegistry hive;
    hive.setString(kTestKey, "s", "text");
    hive.setValue(kTestKey, "long", {Registry::kTypeString, Bytes(2000, 'x')});
    hive.setValue(kTestKey, "expand", {MemoryRegistry::kTypeExpandString, bytesOf("x", true)});
    hive.setValue(kTestKey, "empty", {Registry::kTypeString, {}});
    hive.setValue(kTestKey, "dword", {Registry::kTypeDword, {1, 0, 0, 0}});

    for (const char *name : {"s", "missing", "long", "expand", "empty", "dword"})
        read(hive, name);
    EXPECT_EQ(hive.opened(), 6);
    EXPECT_EQ(hive.closed(), 6);

    ThrowingRegistry throwing(hive);
    std::string text;
    EXPECT_THROW(GetKeyValue(throwing, Registry::kLocalMachine, kTestKey, "s", text),
                 std::runtime_error);
    EXPECT_EQ(hive.opened(), 7);
    EXPECT_EQ(hive.closed(), 7);
}

namespace {

using namespace toolLookup;

const std::string kFolder = "C:\\Program Files\\Common Files\\Tools";
const std::string kToolInFolder = kFolder + "\\MSINFO32.EXE";
const std::string kToolAtPath = "C:\\Program Files\\Tools\\msinfo32.exe";

using Messages = std::vector<std::string>;

const Messages theMessage = {std::string(kSysInfoUnavailableText)};

Messages startSysInfo(Registry &registry, Launcher &launcher)
{
    Messages messages;
    StartSysInfo(registry, launcher, [&messages](std::string_view text) { messages.emplace_back(text); });
    return messages;
}

} // namespace

TEST(SysInfo, PathFromFirstKeyIsStartedWhateverTheFolderHolds)
{
    MemoryRegistry hive;
    hive.setString(kPathKey, kPathValue, kToolAtPath);
    hive.setString(kFolderKey, kFolderValue, kFolder);
    RecordingLauncher launcher;
    launcher.startable = {kToolAtPath, kToolInFolder};
    launcher.existing = {kToolInFolder};

    const Messages messages = startSysInfo(hive, launcher);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(launcher.started, std::vector<std::string>{kToolAtPath});
    EXPECT_TRUE(launcher.asked.empty()) << "the full path is started without an existence test";
    EXPECT_EQ(hive.opened(), 1);
    EXPECT_EQ(hive.stillOpen(), 0);
}

TEST(SysInfo, PathWithExtraZerosStartsTheTextBeforeThem)
{
    for (const std::string_view stored : {std::string_view("/usr/bin/true\0\0", 15),
                                          std::string_view("/usr/bin/true\0junk\0", 19)}) {
        MemoryRegistry hive;
        hive.setValue(kPathKey, kPathValue, {Registry::kTypeString, bytesOf(stored, false)});
        RecordingLauncher launcher;
        launcher.startable = {"/usr/bin/true"};

        EXPECT_TRUE(startSysInfo(hive, launcher).empty());
        EXPECT_EQ(launcher.started, std::vector<std::string>{"/usr/bin/true"});
    }
}

TEST(SysInfo, UnstartablePathShowsMessageWithoutTryingTheFolder)
{
    MemoryRegistry hive;
    hive.setString(kPathKey, kPathValue, "C:\\gone\\msinfo32.exe");
    hive.setString(kFolderKey, kFolderValue, kFolder);
    RecordingLauncher launcher;
    launcher.existing = launcher.startable = {kToolInFolder};

    const Messages messages = startSysInfo(hive, launcher);
    EXPECT_EQ(messages, theMessage);
    EXPECT_EQ(launcher.started, std::vector<std::string>{"C:\\gone\\msinfo32.exe"});
    EXPECT_EQ(hive.opened(), 1);
}

TEST(SysInfo, FolderFromSecondKeyGetsTheToolName)
{
    for (const bool firstKeyPresent : {false, true}) {
        MemoryRegistry hive;
        if (firstKeyPresent)
            hive.setString(kPathKey, "Other", "not the path");
        hive.setString(kFolderKey, kFolderValue, kFolder);
        RecordingLauncher launcher;
        launcher.existing = launcher.startable = {kToolInFolder};

        const Messages messages = startSysInfo(hive, launcher);
        EXPECT_TRUE(messages.empty());
        EXPECT_EQ(launcher.asked, std::vector<std::string>{kToolInFolder});
        EXPECT_EQ(launcher.started, std::vector<std::string>{kToolInFolder});
        EXPECT_EQ(hive.stillOpen(), 0);
    }
}

TEST(SysInfo, EveryFailureToFindTheToolShowsTheOneMessageOnce)
{
    struct Case {
        const char *name;
        void (*setUp)(MemoryRegistry &);
    };
    const Case cases[] = {
        {"neither key", [](MemoryRegistry &) {}},
        {"folder lacks the tool",
         [](MemoryRegistry &hive) { hive.setString(kFolderKey, kFolderValue, "C:\\Empty"); }},
        {"folder value too long",
         [](MemoryRegistry &hive) {
             hive.setValue(kFolderKey, kFolderValue, {Registry::kTypeString, Bytes(1025, 'c')});
         }},
    };
    for (const Case &c : cases) {
        MemoryRegistry hive;
        c.setUp(hive);
        RecordingLauncher launcher;
        launcher.existing = launcher.startable = {kToolInFolder};

        const Messages messages = startSysInfo(hive, launcher);
        EXPECT_EQ(messages, theMessage)
            << c.name;
        EXPECT_TRUE(launcher.started.empty()) << c.name;
        EXPECT_EQ(hive.stillOpen(), 0) << c.name;
    }
}

TEST(SysInfo, OverLongPathCountsAsMissing)
{
    MemoryRegistry hive;
    hive.setValue(kPathKey, kPathValue, {Registry::kTypeString, Bytes(1500, 'p')});
    hive.setString(kFolderKey, kFolderValue, kFolder);
    RecordingLauncher launcher;
    launcher.existing = launcher.startable = {kToolInFolder};

    const Messages messages = startSysInfo(hive, launcher);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(launcher.started, std::vector<std::string>{kToolInFolder});
}

TEST(SysInfo, EmptyOrUnconvertedPathShowsMessageWithoutTryingTheFolder)
{
    const std::vector<MemoryRegistry::Value> values = {
        {Registry::kTypeString, {0}},
        {Registry::kTypeString, {}},
        {MemoryRegistry::kTypeExpandString, bytesOf("%SystemRoot%\\msinfo32.exe", true)},
    };
    for (const auto &value : values) {
        MemoryRegistry hive;
        hive.setValue(kPathKey, kPathValue, value);
        hive.setString(kFolderKey, kFolderValue, kFolder);
        RecordingLauncher launcher;
        launcher.existing = launcher.startable = {kToolInFolder};

        const Messages messages = startSysInfo(hive, launcher);
        EXPECT_EQ(messages.size(), 1u);
        EXPECT_EQ(launcher.started, std::vector<std::string>{""});
        EXPECT_EQ(hive.opened(), 1) << "the second key is not consulted";
    }
}

TEST(SysInfo, ReadOnlyUserGetsTheTool)
{
    MemoryRegistry hive;
    hive.setString(kFolderKey, kFolderValue, kFolder);
    hive.setReadOnly(kPathKey, true);
    hive.setReadOnly(kFolderKey, true);
    RecordingLauncher launcher;
    launcher.existing = launcher.startable = {kToolInFolder};

    const Messages messages = startSysInfo(hive, launcher);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(launcher.started, std::vector<std::string>{kToolInFolder});
}

TEST(SysInfo, NoErrorEscapesAndTheMessageShowsOnce)
{
    MemoryRegistry hive;
    hive.setString(kPathKey, kPathValue, kToolAtPath);
    RecordingLauncher launcher;
    launcher.throwOnStart = true;
    Messages messages;
    EXPECT_NO_THROW(messages = startSysInfo(hive, launcher));
    EXPECT_EQ(messages.size(), 1u);

    ThrowingRegistry throwing(hive);
    RecordingLauncher quiet;
    EXPECT_NO_THROW(messages = startSysInfo(throwing, quiet));
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_TRUE(quiet.started.empty()) << "an error in the first lookup skips the second";
    EXPECT_EQ(hive.stillOpen(), 0);
}
