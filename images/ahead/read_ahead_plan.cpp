#include "images/ahead/read_ahead_plan.h"

#include <algorithm>
#include <utility>

namespace {

using FileList = std::list<std::wstring>;
using ConstIt = FileList::const_iterator;

// Names from `it` on, moving with step, until nMax are taken or the walk meets itCurrent.
template <class Step>
std::vector<std::wstring> CollectNames(ConstIt itCurrent, ConstIt it, size_t nMax, Step step)
{
    std::vector<std::wstring> names;
    while (names.size() < nMax && it != itCurrent) {
        names.push_back(*it);
        step(it);
    }
    return names;
}

// Next tries the entry after the current one, wrapping past the last to the first; from the
// end position it starts at the first entry and stops at the last.
std::vector<std::wstring> ForwardNames(const FileList& list, ConstIt itCurrent, size_t nMax)
{
    if (list.empty())
        return {};
    auto step = [&](ConstIt& it) {
        ++it;
        if (it == list.end() && itCurrent != list.end())
            it = list.begin();
    };
    ConstIt it = itCurrent;
    if (it == list.end())
        it = list.begin();
    else
        step(it);
    return CollectNames(itCurrent, it, nMax, step);
}

// Prev is the mirror image: the entry before, wrapping past the first to the last.
std::vector<std::wstring> BackwardNames(const FileList& list, ConstIt itCurrent, size_t nMax)
{
    if (list.empty())
        return {};
    auto step = [&](ConstIt& it) {
        if (it == list.begin()) {
            it = list.end();
            if (itCurrent == list.end())
                return;
        }
        --it;
    };
    ConstIt it = itCurrent;
    if (it == list.end())
        --it;
    else
        step(it);
    return CollectNames(itCurrent, it, nMax, step);
}

}  // namespace

ReadAheadPlan PlanReadAhead(const std::wstring& strFolder, bool bAutoRotate, const std::list<std::wstring>& list,
                            std::list<std::wstring>::const_iterator itCurrent, bool bBackward, size_t nMaxEach)
{
    ReadAheadPlan plan;
    plan.strFolder = strFolder;
    plan.bAutoRotate = bAutoRotate;
    std::vector<std::wstring> forward = ForwardNames(list, itCurrent, nMaxEach);
    std::vector<std::wstring> backward = BackwardNames(list, itCurrent, nMaxEach);
    plan.ahead = bBackward ? std::move(backward) : std::move(forward);
    plan.behind = bBackward ? std::move(forward) : std::move(backward);
    return plan;
}

uint64_t ReadAheadBudget(const MemoryStatus& status)
{
    uint64_t nFree = status.nAvailPhys;
    if (status.bSmallAddressSpace)
        nFree = std::min(nFree, status.nAvailVirtual);
    return nFree / 2;
}

uint64_t DecodeShare(uint64_t nBudget, uint64_t nCounted, size_t nFreeSlots)
{
    if (nCounted >= nBudget)
        return 0;
    return (nBudget - nCounted) / std::max<size_t>(nFreeSlots, 1);
}

size_t ReadAheadWorkerCount(unsigned nProcessors)
{
    return std::clamp<size_t>(nProcessors > 1 ? nProcessors - 1 : 1, 1, 4);
}
