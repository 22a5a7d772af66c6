#include <gtest/gtest.h>

#include <vector>

#include "framework/ui_language_rules.h"
#include "mainframe/settings_rules.h"

TEST(UiLanguageRules, TheSettingWinsOnlyWithOneOfTheTwoLanguages)
{
    EXPECT_EQ(ChooseUiLanguage(0x0804, 0x0409), kUiLanguageChinese);
    EXPECT_EQ(ChooseUiLanguage(0x0409, 0x0804), kUiLanguageEnglish);
    // 0 and every other value: as the user's interface language.
    for (const uint32_t setting : {0u, 0x0407u, 0x0404u, 0x10804u, 0xFFFFFFFFu}) {
        EXPECT_EQ(ChooseUiLanguage(setting, 0x0804), kUiLanguageChinese) << setting;
        EXPECT_EQ(ChooseUiLanguage(setting, 0x0416), kUiLanguageEnglish) << setting;
    }
}

TEST(UiLanguageRules, EveryChineseInterfaceGetsChineseAndEveryOtherEnglish)
{
    // PRC, Taiwan, Hong Kong, Singapore, Macao, and the neutral Chinese.
    for (const uint16_t lang : {0x0804, 0x0404, 0x0C04, 0x1004, 0x1404, 0x0004, 0x7C04})
        EXPECT_EQ(ChooseUiLanguage(0, lang), kUiLanguageChinese) << std::hex << lang;
    // English, German, Brazilian Portuguese, Japanese, Korean, neutral, and a sublanguage whose
    // low bits are 0x04 beside another primary language.
    for (const uint16_t lang : {0x0409, 0x0809, 0x0407, 0x0416, 0x0411, 0x0412, 0x0000, 0x0414, 0x0844})
        EXPECT_EQ(ChooseUiLanguage(0, lang), kUiLanguageEnglish) << std::hex << lang;
    EXPECT_EQ(OtherUiLanguage(kUiLanguageChinese), kUiLanguageEnglish);
    EXPECT_EQ(OtherUiLanguage(kUiLanguageEnglish), kUiLanguageChinese);
}

namespace {

// A block of sixteen counted strings; entries not given are empty.
std::vector<uint16_t> Block(const std::vector<std::u16string>& entries)
{
    std::vector<uint16_t> units;
    for (size_t i = 0; i < 16; ++i) {
        const std::u16string text = i < entries.size() ? entries[i] : u"";
        units.push_back(static_cast<uint16_t>(text.size()));
        units.insert(units.end(), text.begin(), text.end());
    }
    return units;
}

std::u16string Text(const std::vector<uint16_t>& block, const BlockString& entry)
{
    return std::u16string(block.begin() + static_cast<std::ptrdiff_t>(entry.nOffset),
                          block.begin() + static_cast<std::ptrdiff_t>(entry.nOffset + entry.nLength));
}

}  // namespace

TEST(UiLanguageRules, TheWalkFindsEachEntryOfTheBlock)
{
    const std::vector<uint16_t> block = Block({u"", u"Zoom in", u"", u"\u653E\u5927", u"x"});
    const BlockString zoom = FindBlockString(block.data(), block.size(), 1);
    ASSERT_TRUE(zoom.bFound);
    EXPECT_EQ(Text(block, zoom), u"Zoom in");
    const BlockString chinese = FindBlockString(block.data(), block.size(), 3);
    ASSERT_TRUE(chinese.bFound);
    EXPECT_EQ(Text(block, chinese), u"\u653E\u5927");
    EXPECT_EQ(Text(block, FindBlockString(block.data(), block.size(), 4)), u"x");
    EXPECT_FALSE(FindBlockString(block.data(), block.size(), 0).bFound);
    EXPECT_FALSE(FindBlockString(block.data(), block.size(), 15).bFound);
    EXPECT_FALSE(FindBlockString(block.data(), block.size(), 16).bFound);
    EXPECT_FALSE(FindBlockString(nullptr, 0, 1).bFound);
}

TEST(UiLanguageRules, ATruncatedBlockIsNeverReadPastItsEnd)
{
    // Exactly sized vectors: ASan stops any read beyond them.
    const std::vector<uint16_t> whole = Block({u"abc", u"defgh"});
    for (size_t cut = 0; cut < 10; ++cut) {
        const std::vector<uint16_t> part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
        const BlockString second = FindBlockString(part.data(), part.size(), 1);
        // "defgh" ends at unit 10: every shorter block lacks it whole.
        EXPECT_FALSE(second.bFound) << cut;
    }
    const std::vector<uint16_t> lying = {3, 'a', 'b', 'c', 0x7FFF, 'd'};
    EXPECT_TRUE(FindBlockString(lying.data(), lying.size(), 0).bFound);
    EXPECT_FALSE(FindBlockString(lying.data(), lying.size(), 1).bFound);
    EXPECT_FALSE(FindBlockString(lying.data(), lying.size(), 2).bFound);
}

TEST(UiLanguageRules, OnlyAStoredDwordIsALanguageSetting)
{
    EXPECT_EQ(LanguageFromQuery(true, 4, 4, 0x0409), 0x0409u);
    EXPECT_EQ(LanguageFromQuery(true, 4, 4, 0x0804), 0x0804u);
    EXPECT_EQ(LanguageFromQuery(false, 4, 4, 0x0409), 0u);
    EXPECT_EQ(LanguageFromQuery(true, 1, 4, 0x0409), 0u);   // REG_SZ
    EXPECT_EQ(LanguageFromQuery(true, 11, 8, 0x0409), 0u);  // REG_QWORD
    EXPECT_EQ(LanguageFromQuery(true, 4, 2, 0x0409), 0u);
}
