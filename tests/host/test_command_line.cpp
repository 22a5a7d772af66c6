#include <gtest/gtest.h>

#include "app/command_line.h"

namespace {

CommandLineChoice Scan(std::vector<std::wstring> rest)
{
    rest.insert(rest.begin(), L"vistrel.exe");
    return ScanCommandLine(rest);
}

} // namespace

TEST(CommandLine, RegextSwitchInEitherFormAndCase)
{
    for (const wchar_t* sw : {L"/regext", L"-regext", L"-REGEXT", L"/RegExt"}) {
        const CommandLineChoice c = Scan({sw});
        EXPECT_TRUE(c.bRegister) << sw;
        EXPECT_TRUE(c.strFile.empty()) << sw;
    }
}

TEST(CommandLine, FirstDecisiveArgumentEndsTheScan)
{
    const CommandLineChoice reg = Scan({L"/regext", L"picture.jpg"});
    EXPECT_TRUE(reg.bRegister);
    EXPECT_TRUE(reg.strFile.empty());

    const CommandLineChoice pic = Scan({L"picture.jpg", L"/regext"});
    EXPECT_FALSE(pic.bRegister);
    EXPECT_EQ(pic.strFile, L"picture.jpg");

    EXPECT_EQ(Scan({L"a.jpg", L"b.jpg"}).strFile, L"a.jpg");
    EXPECT_EQ(Scan({L"C:\\My Pictures\\a b.jpg"}).strFile, L"C:\\My Pictures\\a b.jpg");
}

TEST(CommandLine, UnknownSwitchesAreSkipped)
{
    for (const wchar_t* sw : {L"/x", L"/regext2", L"/", L"-", L"/regex", L"//regext", L"/ regext"}) {
        const CommandLineChoice c = Scan({sw, L"picture.jpg"});
        EXPECT_FALSE(c.bRegister) << sw;
        EXPECT_EQ(c.strFile, L"picture.jpg") << sw;
    }
}

TEST(CommandLine, PathLookingLikeSwitchCannotBeOpened)
{
    const CommandLineChoice c = Scan({L"-photo.jpg", L"/tmp/x.png"});
    EXPECT_FALSE(c.bRegister);
    EXPECT_TRUE(c.strFile.empty());
}

TEST(CommandLine, EmptyArgumentEndsTheScanWithNoPicture)
{
    const CommandLineChoice c = Scan({L"", L"picture.jpg", L"/regext"});
    EXPECT_FALSE(c.bRegister);
    EXPECT_TRUE(c.strFile.empty());
}

TEST(CommandLine, NoArgumentsAtAll)
{
    for (const CommandLineChoice& c : {Scan({}), ScanCommandLine({})}) {
        EXPECT_FALSE(c.bRegister);
        EXPECT_TRUE(c.strFile.empty());
    }
}

TEST(CommandLine, OnlyAsciiLettersAreFolded)
{
    EXPECT_TRUE(EqualsNoCaseAscii(L"AbZ", L"aBz"));
    EXPECT_FALSE(EqualsNoCaseAscii(L"regext", L"regex"));
    EXPECT_FALSE(EqualsNoCaseAscii(L"@[", L"`{"));  // neighbours of 'A' and 'Z' fold to nothing
    EXPECT_FALSE(EqualsNoCaseAscii(L"\u00C9", L"\u00E9"));
}
