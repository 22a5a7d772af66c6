#include "integration/extension_list.h"

std::wstring CleanExtensions(std::wstring_view text)
{
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        if (c != L' ' && c != L'.' && c != L'|' && c != L';')
            out += c;
    }
    return out;
}

// A comma ends an item and promises another unless the text ends right after it.
std::vector<std::wstring> SplitExtensionItems(std::wstring_view list)
{
    std::vector<std::wstring> items;
    size_t pos = 0;
    while (pos < list.size()) {
        const size_t comma = list.find(L',', pos);
        if (comma == std::wstring_view::npos) {
            items.emplace_back(list.substr(pos));
            break;
        }
        items.emplace_back(list.substr(pos, comma - pos));
        pos = comma + 1;
    }
    return items;
}
