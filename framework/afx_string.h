#pragma once
// Strings are UTF-16 std::wstring under the framework's name; resources are
// read from the module that holds the resource script.
#include <string>
#include <string_view>

using CStringW = std::wstring;

// Text of a string-table entry in the program's language, empty when the id is missing.
CStringW AfxLoadString(unsigned nID);

// Replaces "%1" in a framework message with one argument, as the framework's
// message formatting does for its validation prompts.
CStringW AfxFormatString1(std::wstring_view format, std::wstring_view arg);
