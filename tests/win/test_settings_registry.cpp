// The two settings against the real registry of the test prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "mainframe/main_frame.h"
#include "mainframe/settings.h"
#include "tests/win/win_test_support.h"

namespace {

constexpr const wchar_t* kKey = L"SOFTWARE\\Vistrel";

void SetRaw(const wchar_t* name, DWORD type, const void* data, DWORD size)
{
    HKEY hKey = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &hKey, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(::RegSetValueExW(hKey, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    ::RegCloseKey(hKey);
}

bool KeyExists()
{
    HKEY hKey = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(hKey);
    return true;
}

// The constructor reads the interpolation; no window is needed for that.
int32_t ConstructedInterpolation()
{
    CMainFrame* frame = new CMainFrame;
    const int32_t value = frame->m_nInterpolation;
    delete frame;
    return value;
}

class Settings : public ::testing::Test {
protected:
    void SetUp() override { ResetSettings(); }
    void TearDown() override { ResetSettings(); }
};

}  // namespace

TEST_F(Settings, FirstReadCreatesTheKeyAndGivesTheDefaults)
{
    ASSERT_FALSE(KeyExists());
    EXPECT_EQ(ConstructedInterpolation(), 0);
    EXPECT_TRUE(KeyExists());
    EXPECT_EQ(ReadExtensionList(), L"bmp,gif,jpg,png,tif,jpeg");
}

TEST_F(Settings, InterpolationIsUsedAsReadWithoutRangeCheck)
{
    const DWORD seven = 7;
    SetRaw(L"Interpolation", REG_DWORD, &seven, sizeof(seven));
    EXPECT_EQ(ConstructedInterpolation(), 7);
}

TEST_F(Settings, OversizedInterpolationValueFallsBackToZero)
{
    const wchar_t text[] = L"12345";
    SetRaw(L"Interpolation", REG_SZ, text, sizeof(text));  // 12 bytes do not fit the 4-byte read
    EXPECT_EQ(ConstructedInterpolation(), 0);
}

TEST_F(Settings, CentreIsTheMiddleOfTheWorkArea)
{
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    CMainFrame* frame = new CMainFrame;
    EXPECT_EQ(frame->m_ptCenter, CPoint((work.left + work.right) / 2, (work.top + work.bottom) / 2));
    delete frame;
}

TEST_F(Settings, ExtensionValueOfExactly520BytesWithoutTerminatorIsReadSafely)
{
    std::wstring text(260, L'x');
    text[0] = L'p';
    SetRaw(L"Extensions", REG_SZ, text.data(), 520);
    // Windows hands the 520 bytes over unterminated, Wine refuses them for want of
    // room for a terminator; either way nothing past the buffer is read.
    const CStringW list = ReadExtensionList();
    EXPECT_TRUE(list == text || list == L"bmp,gif,jpg,png,tif,jpeg") << list.size();
}

TEST_F(Settings, ExtensionValueLongerThanTheBufferGivesTheDefaultAndStaysStored)
{
    const std::wstring text(300, L'y');
    SetRaw(L"Extensions", REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    EXPECT_EQ(ReadExtensionList(), L"bmp,gif,jpg,png,tif,jpeg");
    HKEY hKey = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &hKey), ERROR_SUCCESS);
    DWORD size = 0;
    EXPECT_EQ(::RegQueryValueExW(hKey, L"Extensions", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    ::RegCloseKey(hKey);
    EXPECT_EQ(size, 602u);
}

TEST_F(Settings, EmptyListIsAValidList)
{
    ASSERT_TRUE(WriteExtensionList(L""));
    EXPECT_EQ(ReadExtensionList(), L"");
}

TEST_F(Settings, WrittenListIsAStringWithItsTerminator)
{
    ASSERT_TRUE(WriteExtensionList(L"JPG,png"));
    HKEY hKey = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &hKey), ERROR_SUCCESS);
    DWORD type = 0, size = 0;
    EXPECT_EQ(::RegQueryValueExW(hKey, L"Extensions", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    ::RegCloseKey(hKey);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 16u);
    EXPECT_EQ(ReadExtensionList(), L"JPG,png");
}
