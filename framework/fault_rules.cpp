#include "framework/fault_rules.h"

#include <algorithm>

std::size_t CallsAtOrBelow(const std::vector<std::uintptr_t>& open, std::uintptr_t here)
{
    std::size_t count = 0;
    while (count < open.size() && open[open.size() - 1 - count] <= here)
        ++count;
    return count;
}

namespace {

// Asked amid a fault, so it compares by hand: no locale, no allocation, no lock.
template <std::size_t N>
bool IsOneOf(const std::string_view (&modules)[N], std::string_view exportName)
{
    auto sameLetter = [](char lower, char any) { return lower == (any >= 'A' && any <= 'Z' ? any - 'A' + 'a' : any); };
    return std::any_of(std::begin(modules), std::end(modules), [&](std::string_view module) {
        return std::equal(module.begin(), module.end(), exportName.begin(), exportName.end(), sameLetter);
    });
}

}  // namespace

bool IsImagingModule(std::string_view exportName)
{
    // The file names of GDI+, of the Windows Imaging Component and of the codec modules that
    // ship with it (extra formats, camera raw).
    static constexpr std::string_view kModules[] = {"gdiplus.dll", "windowscodecs.dll", "windowscodecsext.dll",
                                                    "windowscodecsraw.dll"};
    return IsOneOf(kModules, exportName);
}

bool IsRuntimeModule(std::string_view exportName)
{
    // The system's C runtimes (the old one GDI+ and the imaging component use, the universal
    // one and the compiler's part of it that codec extensions built by Visual C++ use) and the
    // core every module calls.
    static constexpr std::string_view kModules[] = {"msvcrt.dll",   "ucrtbase.dll",   "vcruntime140.dll",
                                                    "vcruntime140_app.dll", "ntdll.dll", "kernelbase.dll",
                                                    "kernel32.dll"};
    return IsOneOf(kModules, exportName);
}
