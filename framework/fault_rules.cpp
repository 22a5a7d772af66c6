#include "framework/fault_rules.h"

#include <algorithm>

std::size_t CallsAtOrBelow(const std::vector<std::uintptr_t>& open, std::uintptr_t here)
{
    std::size_t count = 0;
    while (count < open.size() && open[open.size() - 1 - count] <= here)
        ++count;
    return count;
}

// Asked amid a fault, so it compares by hand: no locale, no allocation, no lock.
bool IsImagingModule(std::string_view exportName)
{
    // The file names of GDI+, of the Windows Imaging Component and of the codec modules that
    // ship with it (extra formats, camera raw).
    static constexpr std::string_view kModules[] = {"gdiplus.dll", "windowscodecs.dll", "windowscodecsext.dll",
                                                    "windowscodecsraw.dll"};
    auto sameLetter = [](char lower, char any) { return lower == (any >= 'A' && any <= 'Z' ? any - 'A' + 'a' : any); };
    return std::any_of(std::begin(kModules), std::end(kModules), [&](std::string_view module) {
        return std::equal(module.begin(), module.end(), exportName.begin(), exportName.end(), sameLetter);
    });
}
