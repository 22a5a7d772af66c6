#pragma once
// Order of the folder list and its rebuild from a folder enumeration.
#include <iterator>
#include <list>
#include <string>
#include <string_view>
#include <utility>

// <0, 0, >0: UTF-16 code-unit order with only 'A'-'Z' folded to lower case; a prefix sorts first.
int CompareFileNames(std::wstring_view a, std::wstring_view b);
bool FileNameLess(std::wstring_view a, std::wstring_view b);
bool FileNamesEqualNoCase(std::wstring_view a, std::wstring_view b);

// next(name, bDirectory) yields the folder's entries in file-system order and returns false
// at the end. Directories are left out; itCurrent becomes the first entry matching currentName
// (end() when none) and keeps designating it through the stable sort.
template <class Enumerate>
void RebuildFileList(std::list<std::wstring>& list, std::list<std::wstring>::iterator& itCurrent,
                     std::wstring_view currentName, Enumerate&& next)
{
    list.clear();
    itCurrent = list.end();
    std::wstring name;
    bool bDirectory = false;
    while (next(name, bDirectory)) {
        if (bDirectory)
            continue;
        list.push_back(std::move(name));
        name.clear();
        if (itCurrent == list.end() && FileNamesEqualNoCase(list.back(), currentName))
            itCurrent = std::prev(list.end());
    }
    // std::list::sort is a stable merge sort that relinks nodes, so itCurrent stays valid.
    list.sort([](const std::wstring& a, const std::wstring& b) { return FileNameLess(a, b); });
}
