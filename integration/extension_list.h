#pragma once
// The comma-separated extension list: cleaning the edited text and splitting it into items.
#include <string>
#include <string_view>
#include <vector>

// Drops every space, '.', '|' and ';'; commas stay, nothing is turned into a comma.
std::wstring CleanExtensions(std::wstring_view text);

// Items in list order, unchanged; an empty list has none, a trailing comma adds none,
// a leading or doubled comma gives an empty item.
std::vector<std::wstring> SplitExtensionItems(std::wstring_view list);
