#pragma once
// Path splitting for opening by path, and the open dialog's filter.
#include <string>
#include <string_view>

// Splits at the last backslash (a forward slash is not a separator); folder keeps the backslash.
// Returns false, leaving folder and name alone, when there is no backslash.
bool SplitPicturePath(std::wstring_view path, std::wstring& folder, std::wstring& name);

// "bmp,gif" -> "*.bmp;*.gif"; an empty list gives "*.".
std::wstring BuildOpenPattern(std::wstring_view list);

// "pictures|pattern|all|*.*||"
std::wstring BuildOpenFilter(std::wstring_view pictures, std::wstring_view pattern, std::wstring_view all);

// Every '|' becomes an embedded NUL, the form the system dialog reads.
std::wstring FilterToNulSeparated(std::wstring_view filter);
