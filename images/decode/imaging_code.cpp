#include "images/decode/imaging_code.h"

#include <windows.h>

#include <atomic>
#include <optional>
#include <string_view>

#include "framework/fault_rules.h"

namespace {

// The base of the module holding `address`, or null, asked of the memory manager rather than
// the loader (RtlPcToFileHeader may take the loader's lock, which another thread may hold
// while it waits for a lock the faulting decoder holds).
const unsigned char* ModuleBase(const void* address)
{
    MEMORY_BASIC_INFORMATION info{};
    if (::VirtualQuery(address, &info, sizeof(info)) != sizeof(info) || info.Type != MEM_IMAGE)
        return nullptr;
    return static_cast<const unsigned char*>(info.AllocationBase);
}

// The name a module gives itself in its export directory: read from its mapped headers,
// the same whichever folder it was loaded from. Empty for a module that exports nothing.
std::string_view ExportName(const unsigned char* pBase)
{
    const auto* pDos = reinterpret_cast<const IMAGE_DOS_HEADER*>(pBase);
    if (pDos->e_magic != IMAGE_DOS_SIGNATURE)
        return {};
    const auto* pNt = reinterpret_cast<const IMAGE_NT_HEADERS*>(pBase + pDos->e_lfanew);
    if (pNt->Signature != IMAGE_NT_SIGNATURE || pNt->OptionalHeader.NumberOfRvaAndSizes <= IMAGE_DIRECTORY_ENTRY_EXPORT)
        return {};
    const IMAGE_DATA_DIRECTORY& directory = pNt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (directory.VirtualAddress == 0 || directory.Size < sizeof(IMAGE_EXPORT_DIRECTORY))
        return {};
    const auto* pExports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(pBase + directory.VirtualAddress);
    if (pExports->Name == 0)
        return {};
    return reinterpret_cast<const char*>(pBase + pExports->Name);
}

// Codec extensions met so far; a machine has a handful. Read while a fault is handled, so a
// plain array of atomics, never a container that allocates or locks.
constexpr int kMaxCodecModules = 32;
std::atomic<const unsigned char*> g_codecModules[kMaxCodecModules];

bool IsCountedCodecModule(const unsigned char* pBase)
{
    for (const auto& module : g_codecModules) {
        const unsigned char* pKnown = module.load(std::memory_order_acquire);
        if (!pKnown)
            return false;
        if (pKnown == pBase)
            return true;
    }
    return false;
}

FrameCode CodeAt(const void* address)
{
    const unsigned char* pBase = ModuleBase(address);
    if (!pBase)
        return FrameCode::Other;
    const std::string_view name = ExportName(pBase);
    if (IsImagingModule(name) || IsCountedCodecModule(pBase))
        return FrameCode::Imaging;
    return IsRuntimeModule(name) ? FrameCode::Runtime : FrameCode::Other;
}

#if defined(_M_X64) || defined(__x86_64__)

// Moves the context from a frame to its caller's with the unwind data of the module's
// function table, as the system's dispatcher does: a function with no entry is a leaf, its
// return address on top of the stack. The dispatcher took these very steps from the fault up
// to the guard's frame before it asked the guard (and checked each frame against the
// stack's bounds), and the walk stops at the program's own frame under the guard at the
// latest, so it reads only stack the dispatcher already read. Neither call allocates or
// takes the loader's lock: the lookup reads the loader's table of modules as the
// dispatcher's own lookups do.
bool StepToCaller(CONTEXT& context)
{
    DWORD64 base = 0;
    if (PRUNTIME_FUNCTION pFunction = ::RtlLookupFunctionEntry(context.Rip, &base, nullptr)) {
        void* pHandlerData = nullptr;
        DWORD64 establisher = 0;
        ::RtlVirtualUnwind(UNW_FLAG_NHANDLER, base, context.Rip, pFunction, &context, &pHandlerData, &establisher,
                           nullptr);
    } else {
        context.Rip = *reinterpret_cast<const DWORD64*>(context.Rsp);
        context.Rsp += 8;
    }
    return context.Rip != 0;
}

#endif

}  // namespace

bool IsInImagingCode(const void* address)
{
    return CodeAt(address) == FrameCode::Imaging;
}

bool IsFaultOfImagingCode(const CONTEXT& fault)
{
#if defined(_M_X64) || defined(__x86_64__)
    CONTEXT context = fault;
    return IsImagingFault([&](int depth) -> std::optional<FrameCode> {
        if (depth > 0 && !StepToCaller(context))
            return std::nullopt;
        return CodeAt(reinterpret_cast<const void*>(context.Rip));
    });
#else
    // No function tables to walk by: the faulting instruction's module decides.
    return IsInImagingCode(reinterpret_cast<const void*>(fault.Eip));
#endif
}

void CountModuleAsImagingCode(const void* address)
{
    const unsigned char* pBase = ModuleBase(address);
    if (!pBase || pBase == reinterpret_cast<const unsigned char*>(::GetModuleHandleW(nullptr)))
        return;
    for (auto& module : g_codecModules) {
        const unsigned char* pExpected = nullptr;
        if (module.compare_exchange_strong(pExpected, pBase, std::memory_order_acq_rel) || pExpected == pBase)
            return;
    }
}
