// The command-line scan on an argument vector made from the input: the bytes are read as
// little-endian UTF-16 code units (an odd last byte is dropped) and split at every NUL unit,
// the first piece being the program name. Lone surrogates and empty arguments come for free.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/command_line.h"

#include "tests/fuzz/fuzz_check.h"

namespace {

using Args = std::vector<std::wstring>;

Args SplitArguments(const uint8_t* data, size_t size)
{
    Args args(1);
    for (size_t i = 0; i + 1 < size; i += 2) {
        const wchar_t unit = static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
        if (unit == L'\0')
            args.emplace_back();
        else
            args.back() += unit;
    }
    return args;
}

bool StartsLikeSwitch(const std::wstring& arg)
{
    return !arg.empty() && (arg[0] == L'/' || arg[0] == L'-');
}

bool IsRegisterSwitch(const std::wstring& arg)
{
    return StartsLikeSwitch(arg) && EqualsNoCaseAscii(std::wstring_view(arg).substr(1), L"regext");
}

bool SameChoice(const CommandLineChoice& a, const CommandLineChoice& b)
{
    return a.bRegister == b.bRegister && a.strFile == b.strFile;
}

// Swaps the case of the ASCII letters only.
std::wstring SwapAsciiCase(const std::wstring& s)
{
    std::wstring out(s);
    for (wchar_t& c : out) {
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
        else if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return out;
}

void CheckComparison(const std::wstring& a, const std::wstring& b)
{
    FUZZ_CHECK(EqualsNoCaseAscii(a, a));
    FUZZ_CHECK(EqualsNoCaseAscii(a, b) == EqualsNoCaseAscii(b, a));
    if (EqualsNoCaseAscii(a, b))
        FUZZ_CHECK(a.size() == b.size());
    FUZZ_CHECK(EqualsNoCaseAscii(a, SwapAsciiCase(a)));
    // Beyond ASCII nothing is folded: Latin-1 capitals differ from their small letters.
    std::wstring shifted(a);
    for (wchar_t& c : shifted) {
        if (c >= 0xC0 && c <= 0xDE && c != 0xD7) {
            c = static_cast<wchar_t>(c + 0x20);
            FUZZ_CHECK(!EqualsNoCaseAscii(a, shifted));
            break;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const Args args = SplitArguments(data, size);
    const CommandLineChoice choice = ScanCommandLine(args);

    // The first argument that is no switch, or args.size() when every one is a switch.
    size_t nFirstPlain = 1;
    while (nFirstPlain < args.size() && StartsLikeSwitch(args[nFirstPlain]))
        ++nFirstPlain;
    bool bRegisterSeen = false;
    for (size_t i = 1; i < nFirstPlain; ++i)
        bRegisterSeen = bRegisterSeen || IsRegisterSwitch(args[i]);

    FUZZ_CHECK(choice.bRegister == bRegisterSeen);
    if (choice.bRegister) {
        FUZZ_CHECK(choice.strFile.empty());
    } else if (nFirstPlain < args.size()) {
        FUZZ_CHECK(choice.strFile == args[nFirstPlain]);
    } else {
        FUZZ_CHECK(choice.strFile.empty());
    }
    if (!choice.strFile.empty())
        FUZZ_CHECK(!StartsLikeSwitch(choice.strFile));

    // Nothing after the first non-switch counts, nor does the program name.
    Args head(args.begin(), args.begin() + static_cast<std::ptrdiff_t>(std::min(nFirstPlain + 1, args.size())));
    FUZZ_CHECK(SameChoice(ScanCommandLine(head), choice));
    if (nFirstPlain < args.size()) {
        Args tail = head;
        tail.insert(tail.end(), {L"-regext", L"/REGEXT", L"other.jpg", L""});
        FUZZ_CHECK(SameChoice(ScanCommandLine(tail), choice));
        Args reversed = head;
        reversed.insert(reversed.end(), args.rbegin(), args.rend());
        FUZZ_CHECK(SameChoice(ScanCommandLine(reversed), choice));
    }
    Args renamed = args;
    renamed[0] = L"-regext";
    FUZZ_CHECK(SameChoice(ScanCommandLine(renamed), choice));

    for (size_t i = 0; i < args.size() && i < 8; ++i)
        CheckComparison(args[i], args[(i + 1) % args.size()]);
    return 0;
}
