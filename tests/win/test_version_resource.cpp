// The version resource of the built vistrel.exe, read back as Explorer's Details tab reads it:
// GetFileVersionInfoW, then VerQueryValueW for the fixed numbers and the string table the
// translation list names.
#include <windows.h>

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "vistrel_version.h"

namespace {

// The path CMake gave of the program, as a wide string (UTF-8 in the build's definition).
std::wstring ProgramPath() {
    const char* path = VISTREL_EXE_PATH;
    const int n = MultiByteToWideChar(CP_UTF8, 0, path, -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path, -1, wide.data(), n);
    wide.resize(static_cast<size_t>(n) - 1);
    return wide;
}

class VersionResource : public ::testing::Test {
protected:
    void SetUp() override {
        const std::wstring path = ProgramPath();
        DWORD handle = 0;
        const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
        ASSERT_GT(size, 0u) << "no version resource in the program, error " << GetLastError();
        m_block.resize(size);
        ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, m_block.data()));

        void* p = nullptr;
        UINT len = 0;
        ASSERT_TRUE(VerQueryValueW(m_block.data(), L"\\VarFileInfo\\Translation", &p, &len));
        ASSERT_GE(len, 2 * sizeof(WORD));
        const WORD* translation = static_cast<const WORD*>(p);
        wchar_t prefix[64];
        wsprintfW(prefix, L"\\StringFileInfo\\%04x%04x\\", translation[0], translation[1]);
        m_strings = prefix;
    }

    // One value of the string table, or "(missing)".
    std::wstring String(const wchar_t* name) {
        void* p = nullptr;
        UINT len = 0;
        const std::wstring query = m_strings + name;
        if (!VerQueryValueW(m_block.data(), query.c_str(), &p, &len) || p == nullptr)
            return L"(missing)";
        return static_cast<const wchar_t*>(p);
    }

    std::vector<BYTE> m_block;
    std::wstring m_strings;
};

TEST_F(VersionResource, FixedNumbersAreTheProjectVersion) {
    const WORD version[] = {VISTREL_VERSION_NUMBERS};
    ASSERT_EQ(std::size(version), 4u);
    // The text form is the same version: "1.0.0" for 1,0,0,0.
    wchar_t text[32];
    wsprintfW(text, L"%u.%u.%u", version[0], version[1], version[2]);
    EXPECT_STREQ(text, L"" VISTREL_VERSION_TEXT);
    EXPECT_STREQ(text, L"1.0.0");

    void* p = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueW(m_block.data(), L"\\", &p, &len));
    ASSERT_EQ(len, sizeof(VS_FIXEDFILEINFO));
    const VS_FIXEDFILEINFO* fixed = static_cast<const VS_FIXEDFILEINFO*>(p);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(version[1], version[0])));
    EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(MAKELONG(version[3], version[2])));
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(fixed->dwFileFlags & fixed->dwFileFlagsMask, 0u) << "neither debug nor pre-release";
}

TEST_F(VersionResource, StringsNameTheProgramAndItsAuthors) {
    EXPECT_EQ(String(L"FileVersion"), L"1.0.0");
    EXPECT_EQ(String(L"ProductVersion"), L"1.0.0");
    EXPECT_EQ(String(L"ProductName"), L"Vistrel");
    EXPECT_EQ(String(L"OriginalFilename"), L"vistrel.exe");
    EXPECT_EQ(String(L"CompanyName"), L"the Vistrel authors");
    EXPECT_EQ(String(L"LegalCopyright"), L"Copyright (c) 2026 the Vistrel authors");
    const std::wstring description = String(L"FileDescription");
    EXPECT_NE(description, L"(missing)");
    EXPECT_NE(description.find(L"Vistrel"), std::wstring::npos) << "FileDescription names the program";
}

}  // namespace
