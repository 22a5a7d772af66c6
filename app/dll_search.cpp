#include "app/dll_search.h"

#include <delayimp.h>

#include <string>

namespace {

// Named here: the headers of a Windows 7 target leave it out.
constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);

bool g_bSearchLocked = false;

// gdiplus, msimg32 and winmm are delay-loaded: the helper asks here before it would load one by
// its bare name, which without the lock would look beside the program first.
FARPROC WINAPI LoadDelayedFromSystem(unsigned nNotify, PDelayLoadInfo pInfo)
{
    if (nNotify != dliNotePreLoadLibrary || !pInfo || !pInfo->szDll)
        return nullptr;
    const std::string name(pInfo->szDll);
    return reinterpret_cast<FARPROC>(LoadSystemLibrary(std::wstring(name.begin(), name.end()).c_str()));
}

}  // namespace

// The delay-load helper's hook, declared extern "C" by delayimp.h: const in MSVC's, writable in
// mingw-w64's.
#if defined(_MSC_VER)
const PfnDliHook __pfnDliNotifyHook2 = &LoadDelayedFromSystem;
#else
PfnDliHook __pfnDliNotifyHook2 = &LoadDelayedFromSystem;
#endif

void LockDllSearch()
{
    const HMODULE hKernel = ::GetModuleHandleW(L"kernel32.dll");
    const auto pfn = hKernel ? reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void (*)()>(
                                   ::GetProcAddress(hKernel, "SetDefaultDllDirectories")))
                             : nullptr;
    g_bSearchLocked = pfn && pfn(kSearchSystem32);
    if (!g_bSearchLocked)
        ::SetDllDirectoryW(L"");
}

HMODULE LoadSystemLibrary(const wchar_t* name)
{
    if (g_bSearchLocked)
        return ::LoadLibraryExW(name, nullptr, kSearchSystem32);
    // By its full path; the DLLs it imports are then looked for beside it first.
    wchar_t folder[MAX_PATH];
    const UINT n = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return nullptr;
    const std::wstring path = std::wstring(folder, n) + L'\\' + name;
    return ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}
