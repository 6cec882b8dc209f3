// The setup-core library's registry reader: the stand-in's registry file off
// Windows (and the scratch key on Windows), and the real registry on Windows.
#include "ActionTest.h"

#include "Registry.h"

namespace {

const char kCurrentVersion[] = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion]\n";

class RegistryFile : public ::testing::Test {
protected:
    void registry(const std::string& body)
    {
        world.hasRegistry = true;
        world.registry = "Windows Registry Editor Version 5.00\r\n\r\n" + body;
    }

    hosting::WorldModel world;
};

TEST_F(RegistryFile, ReaderContracts)
{
    registry(std::string(kCurrentVersion) + "\"Plain\"=\"a \\\"quoted\\\" \\\\ text\"\r\n"
                                            "\"Empty\"=hex(1):\r\n"
                                            "\"Terminator\"=hex(1):00,00\r\n"
                                            "\"NoTerminator\"=hex(1):41,00,42,00\r\n"
                                            "\"OddLength\"=hex(1):41,00,42\r\n"
                                            "\"Embedded\"=hex(1):41,00,00,00,42,00,00,00\r\n"
                                            "\"Number\"=dword:00000041\r\n");
    // The reader itself is no export: it runs linked into this program, in the same world.
    hosting::SimulatedWorld simulated(nullptr, world);
    const std::wstring key = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    std::wstring value = L"untouched";
    std::wstring error;
    EXPECT_TRUE(ReadValueFromRegistry(key, L"plain", value, error));
    EXPECT_EQ(L"a \"quoted\" \\ text", value);
    EXPECT_TRUE(error.empty());
    EXPECT_TRUE(ReadValueFromRegistry(key, L"NoTerminator", value, error));
    EXPECT_EQ(L"AB", value);
    // An odd byte count: the buffer holds every byte, the half unit is dropped.
    EXPECT_TRUE(ReadValueFromRegistry(key, L"OddLength", value, error));
    EXPECT_EQ(L"A", value);
    EXPECT_TRUE(ReadValueFromRegistry(key, L"Embedded", value, error));
    EXPECT_EQ(L"A", value);
    // A value that holds only its terminator is read, as the empty text.
    EXPECT_TRUE(ReadValueFromRegistry(key, L"Terminator", value, error));
    EXPECT_EQ(L"", value);
    EXPECT_TRUE(error.empty());

    value = L"untouched";
    EXPECT_FALSE(ReadValueFromRegistry(key, L"Empty", value, error));
    EXPECT_EQ(L"ReadValueFromRegistry:: succeeded in retrieving value,but its value is empty!", error);
    EXPECT_EQ(L"untouched", value);
    EXPECT_FALSE(ReadValueFromRegistry(key, L"Missing", value, error));
    EXPECT_EQ(L"ReadValueFromRegistry:: failed to query register value at 1st time!", error);
    EXPECT_FALSE(ReadValueFromRegistry(key + L"\\Nope", L"Plain", value, error));
    EXPECT_EQ(L"ReadValueFromRegistry:: failed to open registry key !", error);
    EXPECT_EQ(L"untouched", value);
}

} // namespace

#if defined(_WIN32)
#include <windows.h>

namespace {

void setText(HKEY key, const wchar_t* name, const std::wstring& text, bool terminated)
{
    const DWORD bytes = static_cast<DWORD>((text.size() + (terminated ? 1 : 0)) * sizeof(wchar_t));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), bytes));
}

// A test key in the 64-bit view the reader uses, removed again.
class RealRegistry : public ::testing::Test {
protected:
    static constexpr const wchar_t* kTestKey = L"SOFTWARE\\InstallerActionsTest";
    static constexpr REGSAM kAccess = KEY_ALL_ACCESS | KEY_WOW64_64KEY;

    void TearDown() override { RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kTestKey, KEY_WOW64_64KEY, 0); }
};

TEST_F(RealRegistry, ReaderContracts)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, kTestKey, 0, nullptr, 0, kAccess, nullptr, &key,
                                             nullptr));
    setText(key, L"Plain", L"C:\\Program Files", true);
    setText(key, L"NoTerminator", L"AB", false);
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, L"Empty", 0, REG_SZ, nullptr, 0));
    RegCloseKey(key);

    std::wstring value = L"untouched";
    std::wstring error;
    EXPECT_TRUE(ReadValueFromRegistry(kTestKey, L"Plain", value, error));
    EXPECT_EQ(L"C:\\Program Files", value);
    EXPECT_TRUE(ReadValueFromRegistry(kTestKey, L"NoTerminator", value, error));
    EXPECT_EQ(L"AB", value);
    value = L"untouched";
    EXPECT_FALSE(ReadValueFromRegistry(kTestKey, L"Empty", value, error));
    EXPECT_EQ(L"ReadValueFromRegistry:: succeeded in retrieving value,but its value is empty!", error);
    EXPECT_FALSE(ReadValueFromRegistry(kTestKey, L"Missing", value, error));
    EXPECT_EQ(L"ReadValueFromRegistry:: failed to query register value at 1st time!", error);
    EXPECT_FALSE(ReadValueFromRegistry(std::wstring(kTestKey) + L"\\Nope", L"Plain", value, error));
    EXPECT_EQ(L"ReadValueFromRegistry:: failed to open registry key !", error);
    EXPECT_EQ(L"untouched", value);
}

} // namespace
#endif
