#include "images/folder/open_filter.h"

bool SplitPicturePath(std::wstring_view path, std::wstring& folder, std::wstring& name)
{
    const size_t pos = path.rfind(L'\\');
    if (pos == std::wstring_view::npos)
        return false;
    folder.assign(path.substr(0, pos + 1));
    name.assign(path.substr(pos + 1));
    return true;
}

std::wstring BuildOpenPattern(std::wstring_view list)
{
    std::wstring pattern = L"*.";
    for (wchar_t c : list) {
        if (c == L',')
            pattern += L";*.";
        else
            pattern += c;
    }
    return pattern;
}

std::wstring BuildOpenFilter(std::wstring_view pictures, std::wstring_view pattern, std::wstring_view all)
{
    std::wstring filter;
    filter.reserve(pictures.size() + pattern.size() + all.size() + 8);
    filter.append(pictures).append(L"|").append(pattern).append(L"|").append(all).append(L"|*.*||");
    return filter;
}

std::wstring FilterToNulSeparated(std::wstring_view filter)
{
    std::wstring out(filter);
    for (wchar_t& c : out) {
        if (c == L'|')
            c = L'\0';
    }
    return out;
}
