#include "app/dpi_awareness.h"

#include <windows.h>

#include "app/dll_search.h"

namespace {

// The awareness contexts and the shell's per-monitor value, named here because the
// headers of a Windows 7 target do not declare them.
const HANDLE kContextPerMonitor = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-3));
const HANDLE kContextPerMonitorV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
constexpr int kProcessPerMonitorDpiAware = 2;

using SetContextFn = BOOL(WINAPI*)(HANDLE);
using SetShcoreAwarenessFn = HRESULT(WINAPI*)(int);
using SetProcessAwareFn = BOOL(WINAPI*)();

template <typename Fn>
Fn Lookup(const wchar_t* module, const char* name)
{
    HMODULE h = ::GetModuleHandleW(module);
    if (!h)
        h = LoadSystemLibrary(module);
    return h ? reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(::GetProcAddress(h, name))) : nullptr;
}

bool SetContext(HANDLE context)
{
    const auto pfn = Lookup<SetContextFn>(L"user32.dll", "SetProcessDpiAwarenessContext");
    return pfn && pfn(context);
}

}  // namespace

bool TryDpiAwareness(DpiAwareness level)
{
    switch (level) {
    case DpiAwareness::PerMonitorV2:
        return SetContext(kContextPerMonitorV2);
    case DpiAwareness::PerMonitor: {
        if (SetContext(kContextPerMonitor))
            return true;
        const auto pfn = Lookup<SetShcoreAwarenessFn>(L"shcore.dll", "SetProcessDpiAwareness");
        return pfn && SUCCEEDED(pfn(kProcessPerMonitorDpiAware));
    }
    case DpiAwareness::System: {
        const auto pfn = Lookup<SetProcessAwareFn>(L"user32.dll", "SetProcessDPIAware");
        return pfn && pfn();
    }
    case DpiAwareness::None:
        break;
    }
    return false;
}

TryDpiAwarenessFn g_pfnTryDpiAwareness = &TryDpiAwareness;
