// SetPathRelatedProperties: the directory properties of each platform, and
// the installation folders read from the registry, the simulated one and on
// Windows the real one, in both of its views.
#include "ActionTest.h"

#include "Registry.h"

using hosting::HostModel;
using testing_support::Log;
using testing_support::Outcome;
using testing_support::runCobrinth;

namespace {

const char kCurrentVersion[] = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion]\n";

class SetupCore : public ::testing::Test {
protected:
    // The registry below HKEY_LOCAL_MACHINE for the cases that follow: the
    // stand-in's file off Windows, a scratch key mapped over the real hive
    // on Windows.
    void registry(const std::string& body)
    {
        world.hasRegistry = true;
        world.registry = "Windows Registry Editor Version 5.00\r\n\r\n" + body;
    }

    Outcome paths(const std::wstring& installDir, const std::wstring& platform, const std::wstring& hostModel,
                         const std::wstring& productModel, const std::wstring& versionDir = L"4.0") const
    {
        HostModel model;
        model.parameters[L"INSTALLDIR"] = installDir;
        model.parameters[L"HostPlatform"] = platform;
        model.parameters[L"HostObjectModel"] = hostModel;
        model.parameters[L"ProductObjectModel"] = productModel;
        model.parameters[L"EnterpriseVersionDir"] = versionDir;
        return runCobrinth("SetPathRelatedProperties", model, world);
    }

    hosting::WorldModel world;
};

TEST_F(SetupCore, ThirtyTwoBitHostWritesTwelvePropertiesInOrder)
{
    Outcome run = paths(L"C:\\Apps\\Suite\\", L"windows", L"32", L"32");
    EXPECT_EQ(0, run.result());
    EXPECT_EQ((std::vector<std::pair<std::wstring, std::wstring>>{
                  {L"SOFTWAREPATH", L"win32_x86"},
                  {L"SOFTWAREPATH32", L"win32_x86"},
                  {L"SOFTWAREPATH64", L"win64_x64"},
                  {L"INSTALLDIR", L"C:\\Apps\\Suite\\"},
                  {L"INSTALLDIR32", L"C:\\Apps\\Suite\\"},
                  {L"INSTALLDIR64", L"C:\\Apps\\Suite\\"},
                  {L"ENTERPRISEDIR", L"C:\\Apps\\Suite\\4.0\\"},
                  {L"ENTERPRISEDIR32", L"C:\\Apps\\Suite\\4.0\\"},
                  {L"ENTERPRISEDIR64", L"C:\\Apps\\Suite\\4.0\\"},
                  {L"BINDIR", L"C:\\Apps\\Suite\\4.0\\win32_x86\\"},
                  {L"BINDIR32", L"C:\\Apps\\Suite\\4.0\\win32_x86\\"},
                  {L"BINDIR64", L"C:\\Apps\\Suite\\4.0\\win64_x64\\"}}),
              run.record.writes);
    EXPECT_EQ((std::vector<std::wstring>{
                  L"Get INSTALLDIR: C:\\Apps\\Suite\\", L"Get HostPlatform: windows", L"Get hostobjectmodel: 32",
                  L"Get productobjectmodel: 32", L"Get enterpriseversiondir: 4.0", L"Set SOFTWAREPATH: win32_x86",
                  L"Set SOFTWAREPATH32: win32_x86", L"Set SOFTWAREPATH64: win64_x64",
                  L"Set INSTALLDIR: C:\\Apps\\Suite\\", L"Set INSTALLDIR32: C:\\Apps\\Suite\\",
                  L"Set INSTALLDIR64: C:\\Apps\\Suite\\", L"Set ENTERPRISEDIR: C:\\Apps\\Suite\\4.0\\",
                  L"Set ENTERPRISEDIR32: C:\\Apps\\Suite\\4.0\\", L"Set ENTERPRISEDIR64: C:\\Apps\\Suite\\4.0\\",
                  L"Set BINDIR: C:\\Apps\\Suite\\4.0\\win32_x86\\", L"Set BINDIR32: C:\\Apps\\Suite\\4.0\\win32_x86\\",
                  L"Set BINDIR64: C:\\Apps\\Suite\\4.0\\win64_x64\\"}),
              run.logTexts());
    // The parameters in order; SOFTWAREPATH logged before it is set, each
    // INSTALLDIR set directly before its line, the other two families set
    // before they are logged.
    const std::vector<std::string> logs(3, "Log:2");
    std::vector<std::string> expected{"GetParameter:INSTALLDIR", "GetParameter:HostPlatform",
                                      "GetParameter:HostObjectModel", "GetParameter:ProductObjectModel",
                                      "GetParameter:EnterpriseVersionDir", "Log:2", "Log:2"};
    expected.insert(expected.end(), logs.begin(), logs.end());
    expected.insert(expected.end(), logs.begin(), logs.end());
    for (const char* suffix : {"", "32", "64"})
        expected.push_back(std::string("SetProperty:SOFTWAREPATH") + suffix);
    for (const char* suffix : {"", "32", "64"}) {
        expected.push_back(std::string("SetProperty:INSTALLDIR") + suffix);
        expected.push_back("Log:2");
    }
    for (const char* family : {"ENTERPRISEDIR", "BINDIR"}) {
        for (const char* suffix : {"", "32", "64"})
            expected.push_back(std::string("SetProperty:") + family + suffix);
        expected.insert(expected.end(), logs.begin(), logs.end());
    }
    EXPECT_EQ(expected, run.record.calls);
}

TEST_F(SetupCore, PlatformTableAndChosenVariants)
{
    const struct {
        const wchar_t* platform;
        const wchar_t* name32;
        const wchar_t* name64;
    } rows[] = {{L"Linux", L"linux_x86", L"linux_x64"},
                {L"windows", L"win32_x86", L"win64_x64"},
                {L"AIX", L"aix_rs6000", L"aix_rs6000_64"},
                {L"HPUX", L"hpux_ia64", L"hpux_ia64"},
                {L"SunOS", L"solaris_sparc", L"solaris_sparcv9"}};
    for (const auto& row : rows) {
        Outcome run = paths(L"/opt/", row.platform, L"32", L"64", L"");
        EXPECT_EQ(row.name64, run.property(L"SOFTWAREPATH"));
        EXPECT_EQ(row.name32, run.property(L"SOFTWAREPATH32"));
        EXPECT_EQ(row.name64, run.property(L"SOFTWAREPATH64"));
        EXPECT_EQ(L"/opt/\\", run.property(L"ENTERPRISEDIR"));
        EXPECT_EQ(std::wstring(L"/opt/\\") + row.name64 + L"\\", run.property(L"BINDIR"));
    }
    for (const wchar_t* model : {L"32", L"", L"x64"})
        EXPECT_EQ(L"linux_x86", paths(L"/opt/", L"Linux", L"32", model).property(L"SOFTWAREPATH"));
    // No separator is added after an INSTALLDIR without one.
    EXPECT_EQ(L"/opt4.0\\", paths(L"/opt", L"Linux", L"32", L"32").property(L"ENTERPRISEDIR"));
}

TEST_F(SetupCore, UnknownPlatformWritesNothing)
{
    for (const wchar_t* platform : {L"Windows", L"LINUX", L""}) {
        Outcome run = paths(L"C:\\", platform, L"32", L"32");
        EXPECT_EQ(1, run.result());
        EXPECT_TRUE(run.record.writes.empty());
        EXPECT_EQ((std::pair<int, std::wstring>{4, std::wstring(L"Unknown host platform: '") + platform +
                                                       L"'. Supported platforms are: Linux, AIX, HPUX, SunOS."}),
                  run.log().back());
    }
}

TEST_F(SetupCore, ThirtyTwoBitHostNeverTouchesTheRegistry)
{
    // A registry without the key: the 32-bit host never asks.
    registry("");
    Outcome run = paths(L"C:\\Program Files\\Suite\\", L"windows", L"", L"32");
    EXPECT_EQ(L"C:\\Program Files\\Suite\\", run.property(L"INSTALLDIR32"));
    for (const auto& line : run.log())
        EXPECT_EQ(2, line.first);
}

TEST_F(SetupCore, SixtyFourBitHostMovesIntoTheThirtyTwoBitProgramFiles)
{
    registry(std::string(kCurrentVersion) + "\"ProgramFilesDir\"=\"C:\\\\Program Files\"\r\n"
                                            "\"ProgramFilesDir (x86)\"=\"C:\\\\Program Files (x86)\"\r\n");
    for (const wchar_t* dir : {L"C:\\Program Files\\Suite\\", L"c:\\PROGRAM FILES\\Suite\\"}) {
        Outcome run = paths(dir, L"windows", L"64", L"32");
        EXPECT_EQ(0, run.result());
        for (const wchar_t* name : {L"INSTALLDIR", L"INSTALLDIR32", L"INSTALLDIR64"})
            EXPECT_EQ(L"C:\\Program Files (x86)\\Suite\\", run.property(name));
        EXPECT_EQ(L"C:\\Program Files (x86)\\Suite\\4.0\\win32_x86\\", run.property(L"BINDIR"));
        // Set twice, the second time without log lines.
        std::size_t sets = 0;
        for (const auto& write : run.record.writes)
            sets += write.first == L"INSTALLDIR";
        EXPECT_EQ(2u, sets);
        EXPECT_EQ(17u, run.log().size());
    }
    for (const wchar_t* dir : {L"C:\\Program FilesX\\", L"D:\\Suite\\"}) {
        Outcome run = paths(dir, L"windows", L"64", L"32");
        EXPECT_EQ(dir, run.property(L"INSTALLDIR"));
        EXPECT_EQ(12u, run.record.writes.size());
    }
}

TEST_F(SetupCore, RegistryErrorsAreLoggedAndNotFatal)
{
    // Only "ProgramFilesDir (x86)" can be read: the prefix becomes a lone "\".
    registry(std::string(kCurrentVersion) + "\"ProgramFilesDir (x86)\"=\"C:\\\\Program Files (x86)\"\r\n");
    Outcome run = paths(L"\\Suite\\", L"windows", L"64", L"32");
    EXPECT_EQ(0, run.result());
    EXPECT_EQ(L"C:\\Program Files (x86)\\Suite\\", run.property(L"INSTALLDIR"));
    EXPECT_EQ((std::pair<int, std::wstring>{4, L"Error reading from registry: ReadValueFromRegistry:: failed to query "
                                               L"register value at 1st time!"}),
              run.log()[11]);
    // The error text is cleared once logged: the read that succeeds next logs nothing.
    const Log lines = run.log();
    EXPECT_EQ(1, std::count_if(lines.begin(), lines.end(), [](const auto& line) { return line.first == 4; }));

    // Both reads fail, each for its own reason, "ProgramFilesDir" first.
    registry(std::string(kCurrentVersion) + "\"ProgramFilesDir (x86)\"=hex(1):\r\n");
    Outcome both = paths(L"\\Suite\\", L"windows", L"64", L"32");
    EXPECT_EQ(L"Error reading from registry: ReadValueFromRegistry:: failed to query register value at 1st time!",
              both.log()[11].second);
    EXPECT_EQ(L"Error reading from registry: ReadValueFromRegistry:: succeeded in retrieving value,but its value is "
              L"empty!",
              both.log()[12].second);

    registry("");
    Outcome noKey = paths(L"C:\\Program Files\\Suite\\", L"windows", L"64", L"32");
    EXPECT_EQ(0, noKey.result());
    EXPECT_EQ(L"C:\\Program Files\\Suite\\", noKey.property(L"INSTALLDIR"));
    const std::wstring openFailed = L"Error reading from registry: ReadValueFromRegistry:: failed to open registry key !";
    EXPECT_EQ(openFailed, noKey.log()[11].second);
    EXPECT_EQ(openFailed, noKey.log()[12].second);
}

// Values that answer the reader's two queries otherwise than their bytes
// would: off Windows from the stand-in's file, on Windows through the
// library's redirected registry imports, beside plain values the registry
// answers.
TEST_F(SetupCore, RegistryValuesThatAnswerTheirQueriesOtherwise)
{
    auto secondLine = [this](const std::string& query) {
        registry(std::string(kCurrentVersion) + "\"ProgramFilesDir\"=hex(2):43,00,3a,00,5c,00,50,00,00,00\r\n" +
                 query + "\r\n\"ProgramFilesDir (x86)\"=\"D:\\\\X86\"\r\n");
        Outcome run = paths(L"C:\\Program Files\\Suite\\", L"windows", L"64", L"32");
        EXPECT_EQ(0, run.result());
        return run.log().at(11);
    };
    const std::wstring prefix = L"Error reading from registry: ReadValueFromRegistry:: ";
    // The value grew past the size the first query gave, or failed anyway.
    EXPECT_EQ(std::make_pair(4, prefix + L"failed to query register value at 2nd time!"),
              secondLine(";query:\"ProgramFilesDir\" first-size=4"));
    EXPECT_EQ(std::make_pair(4, prefix + L"failed to query register value at 2nd time!"),
              secondLine(";query:\"programfilesdir\" second-fails"));
    EXPECT_EQ(std::make_pair(4, prefix + L"succeeded in retrieving value,but its value is empty!"),
              secondLine(";query:\"ProgramFilesDir\" first-size=0"));
    // No buffer for the largest size: it is never allocated, nor rounded
    // down to an empty one the second query would write past.
    for (const char* size : {"4294967295", "4294967294", "2147483648"})
        EXPECT_EQ(std::make_pair(4, prefix + L"retrieved null buffer at 2nd time!"),
                  secondLine(std::string(";query:\"ProgramFilesDir\" first-size=") + size));
    // A size that covers the bytes reads them; the plain value beside it is
    // the registry's own.
    registry(std::string(kCurrentVersion) + "\"ProgramFilesDir\"=hex(2):43,00,3a,00,5c,00,50,00,00,00\r\n"
                                            ";query:\"ProgramFilesDir\" first-size=64\r\n"
                                            "\"ProgramFilesDir (x86)\"=\"D:\\\\X86\"\r\n");
    Outcome read = paths(L"C:\\P\\Suite\\", L"windows", L"64", L"32");
    EXPECT_EQ(L"D:\\X86\\Suite\\", read.property(L"INSTALLDIR"));
    const Log lines = read.log();
    EXPECT_EQ(0, std::count_if(lines.begin(), lines.end(), [](const auto& line) { return line.first == 4; }));
}

} // namespace

#if defined(_WIN32)
#include <windows.h>
#include <vector>

namespace {

const wchar_t kCurrentVersionKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

// Installation folders set in the real registry of the machine (Wine's
// prefix, under test), in either view, and put back as they were when this
// goes: the tests let it go before their first check, since a failed check
// may end the program (see the README's limits under emulation) and the
// prefix outlives the run.
class ReplacedFolders {
public:
    ReplacedFolders() = default;
    ReplacedFolders(const ReplacedFolders&) = delete;
    ReplacedFolders& operator=(const ReplacedFolders&) = delete;
    ~ReplacedFolders()
    {
        for (auto saved = saved_.rbegin(); saved != saved_.rend(); ++saved) {
            HKEY key;
            if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kCurrentVersionKey, 0, KEY_ALL_ACCESS | saved->view, &key) !=
                ERROR_SUCCESS)
                continue;
            if (saved->existed)
                RegSetValueExW(key, saved->name.c_str(), 0, saved->type, saved->data.data(),
                               static_cast<DWORD>(saved->data.size()));
            else
                RegDeleteValueW(key, saved->name.c_str());
            RegCloseKey(key);
        }
    }

    // Sets a value of the CurrentVersion key in one view (KEY_WOW64_64KEY or
    // KEY_WOW64_32KEY), keeping what was there.
    void set(REGSAM view, const wchar_t* name, const std::wstring& text)
    {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, kCurrentVersionKey, 0, KEY_ALL_ACCESS | view, &key));
        Saved saved;
        saved.view = view;
        saved.name = name;
        DWORD bytes = 0;
        saved.existed = RegQueryValueExW(key, name, nullptr, &saved.type, nullptr, &bytes) == ERROR_SUCCESS;
        saved.data.resize(bytes);
        if (saved.existed && bytes > 0)
            saved.existed = RegQueryValueExW(key, name, nullptr, &saved.type, saved.data.data(), &bytes) ==
                            ERROR_SUCCESS;
        saved_.push_back(saved);
        const DWORD size = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
        ASSERT_EQ(ERROR_SUCCESS,
                  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), size));
        RegCloseKey(key);
    }

    // A value as one view holds it now, or "<unset>".
    static std::wstring get(REGSAM view, const wchar_t* name)
    {
        std::wstring text = L"<unset>";
        HKEY key;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kCurrentVersionKey, 0, KEY_READ | view, &key) != ERROR_SUCCESS)
            return text;
        wchar_t buffer[MAX_PATH] = {};
        DWORD bytes = sizeof(buffer) - sizeof(wchar_t);
        if (RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &bytes) == ERROR_SUCCESS)
            text = buffer;
        RegCloseKey(key);
        return text;
    }

private:
    struct Saved {
        REGSAM view = 0;
        std::wstring name;
        bool existed = false;
        DWORD type = REG_SZ;
        std::vector<BYTE> data;
    };
    std::vector<Saved> saved_;
};

HostModel windowsPaths(const std::wstring& installDir)
{
    HostModel model;
    model.parameters[L"INSTALLDIR"] = installDir;
    model.parameters[L"HostPlatform"] = L"windows";
    model.parameters[L"HostObjectModel"] = L"64";
    model.parameters[L"ProductObjectModel"] = L"64";
    model.parameters[L"EnterpriseVersionDir"] = L"4.0";
    return model;
}

TEST(RealRegistryFolders, SixtyFourBitHostMovesIntoTheThirtyTwoBitProgramFiles)
{
    const std::wstring programFiles = ReplacedFolders::get(KEY_WOW64_64KEY, L"ProgramFilesDir");
    Outcome run;
    {
        ReplacedFolders folders;
        folders.set(KEY_WOW64_64KEY, L"ProgramFilesDir (x86)", L"X:\\Programs32");
        run = runCobrinth("SetPathRelatedProperties", windowsPaths(programFiles + L"\\Suite\\"));
    }
    EXPECT_EQ(0, run.result());
    EXPECT_EQ(L"X:\\Programs32\\Suite\\", run.property(L"INSTALLDIR"));
    EXPECT_EQ(L"X:\\Programs32\\Suite\\4.0\\win64_x64\\", run.property(L"BINDIR"));
}

// Most hosts are 32-bit processes on 64-bit Windows, where the registry has
// two views of SOFTWARE: the installation folders are read from the 64-bit
// one, not from the 32-bit twin (WOW6432Node) that such a process sees by
// default. Each view gets folders of its own, and only the 64-bit view's
// match the installation folder.
TEST(RealRegistryFolders, InstallationFoldersComeFromTheSixtyFourBitView)
{
    BOOL wow64 = FALSE;
    if (sizeof(void*) == 4 && (!IsWow64Process(GetCurrentProcess(), &wow64) || !wow64))
        GTEST_SKIP() << "32-bit Windows has one registry view; the 32-bit build runs this test on 64-bit Windows";
    Outcome run;
    std::wstring twin;
    {
        ReplacedFolders folders;
        folders.set(KEY_WOW64_64KEY, L"ProgramFilesDir", L"X:\\Programs64");
        folders.set(KEY_WOW64_64KEY, L"ProgramFilesDir (x86)", L"X:\\Programs32");
        folders.set(KEY_WOW64_32KEY, L"ProgramFilesDir", L"Y:\\Twin64");
        folders.set(KEY_WOW64_32KEY, L"ProgramFilesDir (x86)", L"Y:\\Twin32");
        twin = ReplacedFolders::get(KEY_WOW64_32KEY, L"ProgramFilesDir");
        run = runCobrinth("SetPathRelatedProperties", windowsPaths(L"x:\\programs64\\Suite\\"));
    }
    ASSERT_EQ(L"Y:\\Twin64", twin) << "the two views are one here: nothing would tell them apart";
    EXPECT_EQ(0, run.result());
    EXPECT_EQ(L"X:\\Programs32\\Suite\\", run.property(L"INSTALLDIR"));
    EXPECT_EQ(L"X:\\Programs32\\Suite\\4.0\\win64_x64\\", run.property(L"BINDIR"));
}

} // namespace
#endif
