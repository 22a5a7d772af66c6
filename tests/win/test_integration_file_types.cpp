// RegisterFileTypes against the registry, both roots redirected to the run's scratch keys.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "framework/afx_string.h"
#include "integration/background.h"
#include "integration/file_types.h"
#include "res/resource.h"
#include "tests/win/win_test_support.h"

namespace {

const std::wstring kFileExts = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";

struct RegValue {
    DWORD type = 0;
    DWORD bytes = 0;
    std::wstring text;
};

std::optional<RegValue> ReadValue(HKEY root, const std::wstring& key, const wchar_t* name)
{
    HKEY hKey = nullptr;
    if (::RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return std::nullopt;
    RegValue v;
    std::vector<wchar_t> buffer(40000);
    v.bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    const LONG status =
        ::RegQueryValueExW(hKey, name, nullptr, &v.type, reinterpret_cast<BYTE*>(buffer.data()), &v.bytes);
    ::RegCloseKey(hKey);
    if (status != ERROR_SUCCESS)
        return std::nullopt;
    v.text.assign(buffer.data());
    return v;
}

void SetValue(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& text)
{
    HKEY hKey = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &hKey, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExW(hKey, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(hKey);
}

std::wstring ExtKey(const std::wstring& ext)
{
    return kFileExts + L"\\" + ext;
}

void DeleteExt(const std::wstring& ext)
{
    ::RegDeleteTreeW(HKEY_CURRENT_USER, ExtKey(ext).c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, ExtKey(ext).c_str());
}

std::wstring RealModulePath()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::wstring NameOf(const std::wstring& path)
{
    return path.substr(path.rfind(L'\\') + 1);
}

// The names of FileExts' subkeys exactly as stored (case kept).
std::vector<std::wstring> ExtensionKeyNames()
{
    return SubkeyNames(HKEY_CURRENT_USER, kFileExts.c_str());
}

// Checks one extension's entries: the program's name and the application reference.
void ExpectAssociated(const std::wstring& ext, const std::wstring& program)
{
    SCOPED_TRACE(ext);
    const auto application = ReadValue(HKEY_CURRENT_USER, ExtKey(ext), L"Application");
    ASSERT_TRUE(application.has_value());
    EXPECT_EQ(application->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(application->text, program);
    EXPECT_EQ(application->bytes, 2 * program.size() + 2);
    const auto progid = ReadValue(HKEY_CURRENT_USER, ExtKey(ext) + L"\\UserChoice", L"Progid");
    ASSERT_TRUE(progid.has_value());
    EXPECT_EQ(progid->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(progid->text, L"Applications\\" + program);
    EXPECT_EQ(progid->bytes, 2 * progid->text.size() + 2);
}

std::wstring g_fakeModulePath;
bool g_fakeFillsBuffer = false;

// Hands out g_fakeModulePath, or fills the whole buffer as a cut-short path does.
DWORD WINAPI FakeModuleFileName(HMODULE, LPWSTR buffer, DWORD size)
{
    if (g_fakeFillsBuffer) {
        std::wstring cut = L"C:\\deep\\";
        cut.resize(size, L'x');
        std::copy(cut.begin(), cut.end(), buffer);
        return size;
    }
    if (g_fakeModulePath.size() + 1 > size)
        return 0;
    std::copy(g_fakeModulePath.begin(), g_fakeModulePath.end(), buffer);
    buffer[g_fakeModulePath.size()] = L'\0';
    return static_cast<DWORD>(g_fakeModulePath.size());
}

class FileTypes : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const wchar_t* ext : {L".", L".vtsingle", L".vttrail", L".vtlead", L".vta", L".vtb", L".vtold",
                                   L".vtnew", L".VTCase", L".vtcut", L".vtlong", L".vtnone", L".vtrefused"})
            DeleteExt(ext);
    }
    void TearDown() override
    {
        g_pfnGetModuleFileName = &::GetModuleFileNameW;
        g_fakeFillsBuffer = false;
        g_fakeModulePath.clear();
    }
    ClassesRootRedirect m_classes;
    const std::wstring m_module = RealModulePath();
    const std::wstring m_program = NameOf(m_module);
};

TEST_F(FileTypes, DefaultListAssociatesSixExtensionsAndDescribesTheProgram)
{
    const std::wstring appKey = L"Applications\\" + m_program + L"\\shell\\open\\command";
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, (L"Applications\\" + m_program).c_str());
    for (const wchar_t* ext : {L".bmp", L".gif", L".jpg", L".png", L".tif", L".jpeg"})
        DeleteExt(ext);
    // An older association of .jpg: its ProgID goes, its other entries are overwritten.
    SetValue(HKEY_CURRENT_USER, ExtKey(L".jpg"), L"ProgID", L"jpegfile");
    SetValue(HKEY_CURRENT_USER, ExtKey(L".jpg"), L"Application", L"other.exe");
    SetValue(HKEY_CURRENT_USER, ExtKey(L".jpg") + L"\\UserChoice", L"Progid", L"Applications\\other.exe");

    RegisterFileTypes(AfxLoadString(IDS_DEFAULT_EXTENSIONS));

    const auto command = ReadValue(HKEY_CLASSES_ROOT, appKey, nullptr);
    ASSERT_TRUE(command.has_value());
    EXPECT_EQ(command->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(command->text, L"\"" + m_module + L"\" \"%1\"");
    EXPECT_EQ(command->bytes, 2 * command->text.size() + 2);
    for (const wchar_t* ext : {L".bmp", L".gif", L".jpg", L".png", L".tif", L".jpeg"})
        ExpectAssociated(ext, m_program);
    EXPECT_FALSE(ReadValue(HKEY_CURRENT_USER, ExtKey(L".jpg"), L"ProgID").has_value());
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, ExtKey(L".")));
}

TEST_F(FileTypes, SingleItemAndTrailingCommaGiveOneKeyEach)
{
    RegisterFileTypes(L"vtsingle");
    ExpectAssociated(L".vtsingle", m_program);
    RegisterFileTypes(L"vttrail,");
    ExpectAssociated(L".vttrail", m_program);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, ExtKey(L".")));
}

TEST_F(FileTypes, LeadingCommaGivesTheDotKey)
{
    RegisterFileTypes(L",vtlead");
    ExpectAssociated(L".", m_program);
    ExpectAssociated(L".vtlead", m_program);
}

TEST_F(FileTypes, DoubledCommaGivesTheDotKeyBetweenItsNeighbours)
{
    RegisterFileTypes(L"vta,,vtb");
    ExpectAssociated(L".vta", m_program);
    ExpectAssociated(L".", m_program);
    ExpectAssociated(L".vtb", m_program);
}

TEST_F(FileTypes, EmptyListStillDescribesTheProgramButAssociatesNothing)
{
    const std::wstring appKey = L"Applications\\" + m_program;
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, appKey.c_str());
    const std::vector<std::wstring> before = ExtensionKeyNames();
    RegisterFileTypes(L"");
    EXPECT_TRUE(ReadValue(HKEY_CLASSES_ROOT, appKey + L"\\shell\\open\\command", nullptr).has_value());
    EXPECT_EQ(ExtensionKeyNames(), before);
}

TEST_F(FileTypes, EarlierExtensionsAreLeftAloneAndCaseIsKept)
{
    SetValue(HKEY_CURRENT_USER, ExtKey(L".vtold"), L"Application", L"keep.exe");
    SetValue(HKEY_CURRENT_USER, ExtKey(L".vtold"), L"ProgID", L"keepfile");
    RegisterFileTypes(L"vtnew,VTCase");
    ExpectAssociated(L".vtnew", m_program);
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, ExtKey(L".vtold"), L"Application")->text, L"keep.exe");
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, ExtKey(L".vtold"), L"ProgID")->text, L"keepfile");
    const std::vector<std::wstring> names = ExtensionKeyNames();
    EXPECT_NE(std::find(names.begin(), names.end(), L".VTCase"), names.end());
}

TEST_F(FileTypes, LongModulePathWithSpacesIsQuotedWhole)
{
    // Deeper than MAX_PATH: the whole path is registered, never a cut one.
    std::wstring folder = L"C:\\Program Files";
    while (folder.size() < 300)
        folder += L"\\a deep folder";
    g_fakeModulePath = folder + L"\\Long Name.exe";
    g_pfnGetModuleFileName = &FakeModuleFileName;
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, L"Applications\\Long Name.exe");

    RegisterFileTypes(L"vtlong");

    const auto command = ReadValue(HKEY_CLASSES_ROOT, L"Applications\\Long Name.exe\\shell\\open\\command", nullptr);
    ASSERT_TRUE(command.has_value());
    EXPECT_EQ(command->text, L"\"" + g_fakeModulePath + L"\" \"%1\"");
    ExpectAssociated(L".vtlong", L"Long Name.exe");
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, L"Applications\\Long Name.exe");
}

TEST_F(FileTypes, AClassesRootThatRefusesTheWriteStillGetsTheUsersAssociations)
{
    // A standard user may not write the machine's classes: the per-user entries are made all
    // the same. Played with a classes root opened for reading only.
    HKEY hReadOnly = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(RealCurrentUser(), (RegistrySandboxPath() + L"\\HKCR").c_str(), 0, KEY_READ,
                              &hReadOnly),
              ERROR_SUCCESS);
    ASSERT_EQ(::RegOverridePredefKey(HKEY_CLASSES_ROOT, hReadOnly), ERROR_SUCCESS);
    ::RegCloseKey(hReadOnly);
    HKEY hProbe = nullptr;
    const LONG probe = ::RegCreateKeyExW(HKEY_CLASSES_ROOT, L"Applications\\vt-probe.exe", 0, nullptr, 0, KEY_WRITE,
                                         nullptr, &hProbe, nullptr);
    if (hProbe)
        ::RegCloseKey(hProbe);

    RegisterFileTypes(L"vtrefused");
    const bool bCommand = KeyExists(HKEY_CLASSES_ROOT, L"Applications\\" + m_program + L"\\shell\\open\\command");
    ClassesRootRedirect writable;  // back to the writable scratch

    ExpectAssociated(L".vtrefused", m_program);
    // Whether a read-only root refuses the write is the system's call: the command is there
    // exactly when it allowed one.
    EXPECT_EQ(bCommand, probe == ERROR_SUCCESS);
}

TEST_F(FileTypes, NoModulePathOrACutOneWritesNothing)
{
    g_pfnGetModuleFileName = &FakeModuleFileName;
    g_fakeFillsBuffer = true;
    RegisterFileTypes(L"vtcut");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, ExtKey(L".vtcut")));

    g_fakeFillsBuffer = false;
    g_fakeModulePath.clear();  // GetModuleFileNameW failing gives 0
    RegisterFileTypes(L"vtnone");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, ExtKey(L".vtnone")));

    g_fakeModulePath = L"vistrel.exe";  // no backslash: no program name to register
    RegisterFileTypes(L"vtnone");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, ExtKey(L".vtnone")));
}

}  // namespace
