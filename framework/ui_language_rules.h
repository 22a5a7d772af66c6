#pragma once
// Which of the program's two languages its texts come in, and where one string lies in the
// string-table block that holds it, apart from the resource calls.
#include <cstddef>
#include <cstdint>

constexpr uint16_t kUiLanguageChinese = 0x0804;  // Chinese (Simplified, PRC)
constexpr uint16_t kUiLanguageEnglish = 0x0409;  // English (United States)

// A stored 0x0804 or 0x0409 is taken as it is; 0 and every other value follow the user's
// interface language: Chinese for any Chinese (primary language 0x04), English for the rest.
uint16_t ChooseUiLanguage(uint32_t nSetting, uint16_t nUserUiLanguage);

// The language tried when a resource is missing in the chosen one.
uint16_t OtherUiLanguage(uint16_t nLanguage);

// String ids come sixteen to a block, numbered from 1 as the resource compiler numbers them.
constexpr unsigned StringBlockName(unsigned nID) { return nID / 16 + 1; }
constexpr unsigned StringBlockIndex(unsigned nID) { return nID % 16; }

struct BlockString {
    size_t nOffset = 0;  // in UTF-16 units from the start of the block
    size_t nLength = 0;
    bool bFound = false;
};

// Walks a block (sixteen times a length, then that many UTF-16 units) to entry nIndex, never
// reading past nUnits. An empty entry, a truncated block or an index past 15 is not found.
BlockString FindBlockString(const uint16_t* pUnits, size_t nUnits, unsigned nIndex);
