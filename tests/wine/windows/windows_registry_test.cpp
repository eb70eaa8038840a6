// GetKeyValue through advapi32 against a real registry: the values are written with the
// registry's own calls first, then read back only through the Windows backend.
#include "core/sysinfo/sys_info.h"
#include "core/sysinfo/windows/windows_registry.h"
#include "registry_writer.h"

#include <gtest/gtest.h>

#include <sddl.h>

namespace {

constexpr const char *kTestKey = "SOFTWARE\\Tarnwick Tests";

// Passes every call to the real registry, counting the keys opened and closed.
class CountingRegistry : public sysinfo::Registry {
public:
    long openKey(Handle root, std::string_view name, std::uint32_t options, std::uint32_t access,
                 Handle &key) override
    {
        const long result = m_real.openKey(root, name, options, access, key);
        opened += result == kSuccess ? 1 : 0;
        return result;
    }
    long queryValue(Handle key, std::string_view name, std::uint32_t &type, unsigned char *data,
                    std::uint32_t &size) override
    {
        return m_real.queryValue(key, name, type, data, size);
    }
    long closeKey(Handle key) override
    {
        ++closed;
        return m_real.closeKey(key);
    }

    int opened = 0;
    int closed = 0;

private:
    sysinfo::WindowsRegistry m_real;
};

struct Lookup {
    bool ok = false;
    std::string text;
};

} // namespace

class WindowsRegistry : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(writer.ok()); }
    void TearDown() override
    {
        EXPECT_EQ(registry.opened, registry.closed) << "every key opened is closed again";
    }

    Lookup read(const std::string &value, std::string before = {}, const char *key = kTestKey)
    {
        Lookup result{false, std::move(before)};
        result.ok = sysinfo::GetKeyValue(registry, sysinfo::Registry::kLocalMachine, key, value,
                                       result.text);
        return result;
    }

    RegistryWriter writer{kTestKey};
    CountingRegistry registry;
};

TEST_F(WindowsRegistry, StringsEndAtTheirFirstZero)
{
    ASSERT_TRUE(writer.setString("with", "C:\\Tools\\x.exe", true));
    ASSERT_TRUE(writer.setString("without", "C:\\Tools\\x.exe", false));
    ASSERT_TRUE(writer.set("doubled", REG_SZ, {'C', ':', '\\', 'x', 0, 0}));
    ASSERT_TRUE(writer.set("tail", REG_SZ, {'C', ':', '\\', 'x', 0, 'y', 'z'}));

    EXPECT_EQ(read("doubled").text, "C:\\x");
    EXPECT_EQ(read("tail").text, "C:\\x") << "bytes after a zero are not part of the text";

    EXPECT_EQ(read("with", "old").text, "C:\\Tools\\x.exe");
    EXPECT_EQ(read("without").text, "C:\\Tools\\x.exe");
    EXPECT_EQ(read("WITH").text, "C:\\Tools\\x.exe") << "value names ignore case";
}

TEST_F(WindowsRegistry, LongValueFailsButOneOfExactlyTheBufferSizeReadsWhole)
{
    ASSERT_TRUE(writer.setString("long", std::string(1024, 'l'), true));
    ASSERT_TRUE(writer.setString("ended", std::string(1023, 'e'), true));
    ASSERT_TRUE(writer.setString("bare", std::string(1024, 'b'), false));

    const Lookup tooLong = read("long", "before");
    EXPECT_FALSE(tooLong.ok);
    EXPECT_EQ(tooLong.text, "");
    EXPECT_EQ(read("ended").text, std::string(1023, 'e'));
    const Lookup bare = read("bare");
    EXPECT_TRUE(bare.ok);
    EXPECT_EQ(bare.text, std::string(1024, 'b'));
}

TEST_F(WindowsRegistry, EmptyValuesReadAsEmptyText)
{
    ASSERT_TRUE(writer.set("nobytes", REG_SZ, {}));
    ASSERT_TRUE(writer.set("zero", REG_SZ, {0}));

    for (const char *name : {"nobytes", "zero"}) {
        const Lookup result = read(name, "before");
        EXPECT_TRUE(result.ok) << name;
        EXPECT_EQ(result.text, "") << name;
    }
}

TEST_F(WindowsRegistry, DwordReadsAsHexAndOtherTypesLeaveTheText)
{
    ASSERT_TRUE(writer.set("number", REG_DWORD, {0x2B, 0x1A, 0x00, 0x00}));
    ASSERT_TRUE(writer.set("nought", REG_DWORD, {0, 0, 0, 0}));
    ASSERT_TRUE(writer.set("expand", REG_EXPAND_SZ, {'%', 'W', '%', 0}));

    EXPECT_EQ(read("number", "before").text, "&h1A2B");
    EXPECT_EQ(read("nought").text, "&h0");
    const Lookup expand = read("expand", "before");
    EXPECT_TRUE(expand.ok);
    EXPECT_EQ(expand.text, "before");
}

TEST_F(WindowsRegistry, MissingKeyOrValueFailsAndEmptiesTheText)
{
    const Lookup noValue = read("absent", "before");
    EXPECT_FALSE(noValue.ok);
    EXPECT_EQ(noValue.text, "");

    const Lookup noKey = read("PATH", "before", "SOFTWARE\\Tarnwick Tests Nowhere");
    EXPECT_FALSE(noKey.ok);
    EXPECT_EQ(noKey.text, "");
}

TEST_F(WindowsRegistry, KeyThatMayOnlyBeReadIsRead)
{
    RegistryWriter readOnly("SOFTWARE\\Tarnwick Tests Read Only");
    ASSERT_TRUE(readOnly.ok());
    ASSERT_TRUE(readOnly.setString("PATH", "C:\\Tools\\x.exe"));
    // Everyone may read the key, and delete it afterwards; nobody may write to it.
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(
        "D:P(A;;KRSD;;;WD)", SDDL_REVISION_1, &descriptor, nullptr));
    const LONG secured = RegSetKeySecurity(readOnly.key(), DACL_SECURITY_INFORMATION, descriptor);
    LocalFree(descriptor);
    ASSERT_EQ(secured, ERROR_SUCCESS);

    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tarnwick Tests Read Only", 0, 0x2003F, &key),
              ERROR_ACCESS_DENIED)
        << "opening with write rights must be refused, or this test proves nothing";

    const Lookup result = read("PATH", {}, "SOFTWARE\\Tarnwick Tests Read Only");
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.text, "C:\\Tools\\x.exe");
}
