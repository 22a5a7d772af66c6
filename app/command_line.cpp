#include "app/command_line.h"

namespace {

wchar_t FoldAscii(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool IsSwitch(const std::wstring& arg)
{
    return !arg.empty() && (arg[0] == L'/' || arg[0] == L'-');
}

} // namespace

bool EqualsNoCaseAscii(std::wstring_view a, std::wstring_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i]))
            return false;
    }
    return true;
}

// The first non-switch ends the scan, so anything after the picture path is never a command.
CommandLineChoice ScanCommandLine(const std::vector<std::wstring>& args)
{
    CommandLineChoice choice;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        if (!IsSwitch(arg)) {
            choice.strFile = arg;
            break;
        }
        if (EqualsNoCaseAscii(std::wstring_view(arg).substr(1), L"regext")) {
            choice.bRegister = true;
            break;
        }
    }
    return choice;
}
