#include "images/decode/decode_guard.h"

#include <windows.h>

#include "framework/fault_rules.h"

// How the guard works. A guarded call captures its own context (RtlCaptureContext) and
// becomes its thread's innermost guard. One process-wide vectored handler, first in line,
// takes a hardware fault of a thread with an armed guard: it notes the code in the guard
// and continues at the captured context, so the call comes back just after the capture,
// as from a setjmp, sees the note and returns false. After that comeback nothing is read
// that was written after the capture but the guard's volatile note. The thread's guard is
// found through a Win32 TLS slot, not a C++ thread_local: mingw's thread_local may
// allocate on a thread's first use, which a handler running amid a fault must not do.
//
// The frames between the capture and the fault are abandoned, not unwound: whatever the
// decoder had half-made (its stream, its file handle, its frame) is leaked, and a lock it
// held stays held. That belongs to one decode of one file and is the price of going on
// to the next picture; a decoder that faulted while holding a lock every decode needs
// would hang later decodes, where without the guard the program would have ended.

static_assert(IsHardwareFault(EXCEPTION_ACCESS_VIOLATION) && IsHardwareFault(EXCEPTION_FLT_UNDERFLOW) &&
              !IsHardwareFault(EXCEPTION_STACK_OVERFLOW) && !IsHardwareFault(EXCEPTION_BREAKPOINT));

namespace {

struct Guard {
    CONTEXT resume;             // where a fault comes back to
    volatile DWORD code = 0;    // the fault that came back; 0 until then
#if defined(_M_IX86) || defined(__i386__)
    void* sehChain = nullptr;   // 32-bit handlers are chained on the stack
#endif
};

DWORD g_guardSlot = TLS_OUT_OF_INDEXES;

LONG CALLBACK ContainFault(EXCEPTION_POINTERS* pPointers)
{
    const DWORD code = pPointers->ExceptionRecord->ExceptionCode;
    if (!IsHardwareFault(code))
        return EXCEPTION_CONTINUE_SEARCH;
    const DWORD lastError = ::GetLastError();  // TlsGetValue clears it
    auto* pGuard = static_cast<Guard*>(::TlsGetValue(g_guardSlot));
    ::SetLastError(lastError);
    // A guard comes back once; a fault on the way back is not its to take.
    if (!pGuard || pGuard->code != 0)
        return EXCEPTION_CONTINUE_SEARCH;
    pGuard->code = code;
    *pPointers->ContextRecord = pGuard->resume;
    return EXCEPTION_CONTINUE_EXECUTION;
}

// The TLS slot of the guards, with the handler in place once it exists.
DWORD GuardSlot()
{
    static const DWORD slot = [] {
        g_guardSlot = ::TlsAlloc();
        if (g_guardSlot != TLS_OUT_OF_INDEXES)
            ::AddVectoredExceptionHandler(1, &ContainFault);
        return g_guardSlot;
    }();
    return slot;
}

// The guard is the thread's innermost for exactly the call, however the call ends.
class ArmedGuard {
public:
    ArmedGuard(Guard& guard, DWORD slot) : m_slot(slot)
    {
        m_pPrevious = ::TlsGetValue(slot);
        ::TlsSetValue(slot, &guard);
    }
    ~ArmedGuard() { ::TlsSetValue(m_slot, m_pPrevious); }
    ArmedGuard(const ArmedGuard&) = delete;
    ArmedGuard& operator=(const ArmedGuard&) = delete;

private:
    DWORD m_slot;
    void* m_pPrevious;  // the guard this one runs inside
};

}  // namespace

bool CallWithFaultGuard(void (*fn)(void*), void* context, unsigned long* pCode)
{
    if (pCode)
        *pCode = 0;
    const DWORD slot = GuardSlot();
    if (slot == TLS_OUT_OF_INDEXES) {
        fn(context);
        return true;
    }
    Guard guard;
    ArmedGuard armed(guard, slot);
#if defined(_M_IX86) || defined(__i386__)
    guard.sehChain = reinterpret_cast<NT_TIB*>(::NtCurrentTeb())->ExceptionList;
#endif
    ::RtlCaptureContext(&guard.resume);
    if (guard.code != 0) {
        // Back from a fault.
#if defined(_M_IX86) || defined(__i386__)
        reinterpret_cast<NT_TIB*>(::NtCurrentTeb())->ExceptionList =
            static_cast<EXCEPTION_REGISTRATION_RECORD*>(guard.sehChain);
#endif
        if (pCode)
            *pCode = guard.code;
        return false;
    }
    fn(context);
    return true;
}
