#include "framework/afx_string.h"

#include <windows.h>

CStringW AfxLoadString(unsigned nID)
{
    // A zero buffer length makes LoadStringW hand out a read-only pointer into the
    // resource itself, so no length limit applies to the string table.
    const wchar_t* text = nullptr;
    const int length = LoadStringW(GetModuleHandleW(nullptr), nID, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr)
        return CStringW();
    return CStringW(text, static_cast<size_t>(length));
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
