#include "app/dll_search.h"

#include <delayimp.h>

#include <cwchar>

namespace {

// Named here: the headers of a Windows 7 target leave it out.
constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);

bool g_bSearchLocked = false;

// comctl32's version 6, which the manifest names, lives in the side-by-side store: its bare
// name finds it there before any folder is searched, where a full path would load the older one.
bool RedirectedByManifest(const wchar_t* name)
{
    ACTCTX_SECTION_KEYED_DATA data{};
    data.cbSize = sizeof(data);
    return ::FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, name, &data) != FALSE;
}

// gdiplus, msimg32, winmm, comctl32, comdlg32 and shell32 are delay-loaded: the helper asks here
// before it would load one by its bare name, which without the lock would look beside the program
// first. Called from the helper's C code, so nothing here may throw.
FARPROC WINAPI LoadDelayedFromSystem(unsigned nNotify, PDelayLoadInfo pInfo) noexcept
{
    if (nNotify != dliNotePreLoadLibrary || !pInfo || !pInfo->szDll)
        return nullptr;
    wchar_t name[MAX_PATH];
    size_t i = 0;
    for (; pInfo->szDll[i] != '\0' && i + 1 < MAX_PATH; ++i)
        name[i] = static_cast<unsigned char>(pInfo->szDll[i]);
    name[i] = L'\0';
    return reinterpret_cast<FARPROC>(LoadSystemLibrary(name));
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

HMODULE LoadSystemLibrary(const wchar_t* name) noexcept
{
    if (g_bSearchLocked)
        return ::LoadLibraryExW(name, nullptr, kSearchSystem32);
    if (RedirectedByManifest(name))
        return ::LoadLibraryExW(name, nullptr, 0);
    // By its full path; the DLLs it imports are then looked for beside it first.
    wchar_t path[MAX_PATH];
    const size_t n = ::GetSystemDirectoryW(path, MAX_PATH);
    const size_t length = std::wcslen(name);
    if (n == 0 || n + 1 + length >= MAX_PATH)
        return nullptr;
    path[n] = L'\\';
    std::wmemcpy(path + n + 1, name, length + 1);
    return ::LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}
