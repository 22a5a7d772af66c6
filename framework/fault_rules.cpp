#include "framework/fault_rules.h"

std::size_t CallsAtOrBelow(const std::vector<std::uintptr_t>& open, std::uintptr_t here)
{
    std::size_t count = 0;
    while (count < open.size() && open[open.size() - 1 - count] <= here)
        ++count;
    return count;
}
