#pragma once
// The command-line decision: register the default associations, or run the viewer.
#include <string>
#include <string_view>
#include <vector>

struct CommandLineChoice {
    bool bRegister = false;   // "regext" was met: register and end without a window
    std::wstring strFile;     // the picture to open; empty for none
};

// args[0] is the program name.
CommandLineChoice ScanCommandLine(const std::vector<std::wstring>& args);

// Whole-string comparison with only 'A'-'Z' folded.
bool EqualsNoCaseAscii(std::wstring_view a, std::wstring_view b);
