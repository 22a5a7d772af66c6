#pragma once
// What read-ahead decodes and how much it may hold: the entries the next steps would try,
// the memory budget and the number of workers. Platform-free arithmetic.
#include <cstddef>
#include <cstdint>
#include <list>
#include <string>
#include <vector>

// The names the next steps would try, nearest first; the current entry is never among them.
struct ReadAheadPlan {
    std::wstring strFolder;
    bool bAutoRotate = true;
    std::vector<std::wstring> ahead;   // the way of the latest step
    std::vector<std::wstring> behind;  // the other way
    uint64_t nShownBytes = 0;          // the picture on show counts against the budget too
};

// Walks the ring as the steps do: forward as Next tries entries, backward as Prev does, the
// end position (a picture without an entry) lying after the last entry and before the first.
ReadAheadPlan PlanReadAhead(const std::wstring& strFolder, bool bAutoRotate, const std::list<std::wstring>& list,
                            std::list<std::wstring>::const_iterator itCurrent, bool bBackward, size_t nMaxEach);

// The memory free at one moment, as the system reports it.
struct MemoryStatus {
    uint64_t nAvailPhys = 0;
    uint64_t nAvailVirtual = 0;  // the process's free address space
    bool bSmallAddressSpace = false;  // a 32-bit process: address space runs out first
};

// Every picture held or under decode counts against this: half of what is free now, the
// other half left for the decoder's own buffers and for everything else.
uint64_t ReadAheadBudget(const MemoryStatus& status);

// What one more decode may make: the room left in the budget shared among the decodes that
// could still start, so that all of them together stay within it.
uint64_t DecodeShare(uint64_t nBudget, uint64_t nCounted, size_t nFreeSlots);

// One worker fewer than the processors, so the user-interface thread keeps one; one to four.
size_t ReadAheadWorkerCount(unsigned nProcessors);
