#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/ui_language_rules.h"
#include "mainframe/settings_rules.h"

// From the value as the registry query gave it to the language the program speaks.
TEST(UiLanguageRules, AStoredLanguageWinsElseEveryChineseInterfaceGetsChineseAndEveryOtherEnglish)
{
    constexpr uint32_t kSz = 1, kDword = 4, kQword = 11;
    constexpr uint16_t zh = kUiLanguageChinese, en = kUiLanguageEnglish;
    struct Case { bool bQueryOk; uint32_t type, bytes, value; uint16_t user, expected; };
    const Case cases[] = {
        {true, kDword, 4, 0x0804, 0x0409, zh},     {true, kDword, 4, 0x0409, 0x0804, en},
        {false, kDword, 4, 0x0409, 0x0804, zh},    {true, kSz, 4, 0x0409, 0x0804, zh},
        {true, kQword, 8, 0x0409, 0x0804, zh},     {true, kDword, 2, 0x0409, 0x0804, zh},
        {true, kDword, 4, 0, 0x0416, en},          {true, kDword, 4, 0x0407, 0x0804, zh},
        {true, kDword, 4, 0x0404, 0x0416, en},     {true, kDword, 4, 0x10804, 0x0409, en},
        {true, kDword, 4, 0xFFFFFFFF, 0x0804, zh},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChooseUiLanguage(LanguageFromQuery(c.bQueryOk, c.type, c.bytes, c.value), c.user), c.expected)
            << std::hex << c.type << ' ' << c.bytes << ' ' << c.value << ' ' << c.user;
    // PRC, Taiwan, Hong Kong, Singapore, Macao and the neutral Chinese; then English, German,
    // Brazilian Portuguese, Japanese, Korean, neutral, and sublanguages whose low bits are 0x04.
    for (const uint16_t user : {0x0804, 0x0404, 0x0C04, 0x1004, 0x1404, 0x0004, 0x7C04})
        EXPECT_EQ(ChooseUiLanguage(0, user), zh) << std::hex << user;
    for (const uint16_t user : {0x0409, 0x0809, 0x0407, 0x0416, 0x0411, 0x0412, 0x0000, 0x0414, 0x0844})
        EXPECT_EQ(ChooseUiLanguage(0, user), en) << std::hex << user;
    EXPECT_EQ(OtherUiLanguage(zh), en);
    EXPECT_EQ(OtherUiLanguage(en), zh);
}

TEST(UiLanguageRules, TheWalkFindsEachEntryOfTheBlockAndNeverReadsPastItsEnd)
{
    // Entries 1 "Zoom in" and 3 "放大", the other fourteen empty. Exactly sized, as every block
    // below, so that ASan stops any read past its end.
    const std::vector<uint16_t> block = {0, 7, 'Z', 'o', 'o', 'm', ' ', 'i', 'n', 0, 2, 0x653E, 0x5927,
                                         0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const auto walk = [](const std::vector<uint16_t>& units, unsigned nIndex) {
        const BlockString entry = FindBlockString(units.data(), units.size(), nIndex);
        return entry.bFound ? std::to_string(entry.nOffset) + "+" + std::to_string(entry.nLength) : "none";
    };
    EXPECT_EQ(walk(block, 1), "2+7");
    EXPECT_EQ(walk(block, 3), "11+2");
    for (const unsigned empty : {0u, 2u, 4u, 15u, 16u})
        EXPECT_EQ(walk(block, empty), "none") << empty;
    EXPECT_FALSE(FindBlockString(nullptr, 0, 1).bFound);
    // "Zoom in" ends at unit 9: a block cut shorter lacks it whole.
    for (size_t cut = 0; cut <= 10; ++cut)
        EXPECT_EQ(walk(std::vector<uint16_t>(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(cut)), 1),
                  cut >= 9 ? "2+7" : "none") << cut;
    const std::vector<uint16_t> lying = {3, 'a', 'b', 'c', 0x7FFF, 'd'};
    EXPECT_EQ(walk(lying, 0), "1+3");
    EXPECT_EQ(walk(lying, 1), "none");
    EXPECT_EQ(walk(lying, 2), "none");
}
