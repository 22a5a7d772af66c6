#include "framework/afx_string.h"

#include <windows.h>

#include "framework/ui_language.h"

CStringW AfxLoadString(unsigned nID)
{
    // Read straight from the resource block, so no length limit applies to the string table.
    return AfxLoadStringIn(::GetModuleHandleW(nullptr), nID, AfxGetUiLanguage());
}

CStringW AfxFormatString1(std::wstring_view format, std::wstring_view arg)
{
    CStringW result;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == L'%' && i + 1 < format.size() && format[i + 1] == L'1') {
            result.append(arg);
            ++i;
        } else {
            result.push_back(format[i]);
        }
    }
    return result;
}
