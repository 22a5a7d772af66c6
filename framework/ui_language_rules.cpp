#include "framework/ui_language_rules.h"

namespace {

constexpr uint16_t kPrimaryLanguageMask = 0x03FF;
constexpr uint16_t kPrimaryChinese = 0x04;

}  // namespace

uint16_t ChooseUiLanguage(uint32_t nSetting, uint16_t nUserUiLanguage)
{
    if (nSetting == kUiLanguageChinese || nSetting == kUiLanguageEnglish)
        return static_cast<uint16_t>(nSetting);
    return (nUserUiLanguage & kPrimaryLanguageMask) == kPrimaryChinese ? kUiLanguageChinese : kUiLanguageEnglish;
}

uint16_t OtherUiLanguage(uint16_t nLanguage)
{
    return nLanguage == kUiLanguageChinese ? kUiLanguageEnglish : kUiLanguageChinese;
}

BlockString FindBlockString(const uint16_t* pUnits, size_t nUnits, unsigned nIndex)
{
    BlockString result;
    if (!pUnits || nIndex >= 16)
        return result;
    size_t pos = 0;
    for (unsigned i = 0;; ++i) {
        if (pos >= nUnits)
            return result;
        const size_t length = pUnits[pos];
        ++pos;
        if (length > nUnits - pos)
            return result;
        if (i == nIndex) {
            if (length > 0) {
                result.nOffset = pos;
                result.nLength = length;
                result.bFound = true;
            }
            return result;
        }
        pos += length;
    }
}
