#include "images/decode/imaging_code.h"

#include <windows.h>

#include <string_view>

#include "framework/fault_rules.h"

namespace {

// The base of the module holding `address`, or null. On 64-bit Windows the function-table
// lookup is the one the exception dispatch itself makes for every frame, so it adds no lock
// the dispatch does not already take; a leaf function has no entry there, and for that the
// loader's own lookup is asked (under Wine it takes the loader's lock).
const unsigned char* ModuleBase(const void* address)
{
#if defined(_M_X64) || defined(__x86_64__)
    DWORD64 base = 0;
    if (::RtlLookupFunctionEntry(reinterpret_cast<DWORD64>(address), &base, nullptr) && base != 0)
        return reinterpret_cast<const unsigned char*>(base);
#endif
    void* pBase = nullptr;
    ::RtlPcToFileHeader(const_cast<void*>(address), &pBase);
    return static_cast<const unsigned char*>(pBase);
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

}  // namespace

bool IsInImagingCode(const void* address)
{
    const unsigned char* pBase = ModuleBase(address);
    return pBase && IsImagingModule(ExportName(pBase));
}
