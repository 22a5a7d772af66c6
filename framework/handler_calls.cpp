#include "framework/handler_calls.h"

#include <windows.h>

#include <atomic>
#include <new>
#include <vector>

#include "framework/fault_rules.h"

// A passive vectored handler copies the latest failure raised on each thread that runs
// handlers (record and context: the originals live on stack that is reused at once). When
// a handler call turns out to have been abandoned and that failure is a hardware fault, it
// goes where an unhandled one goes, UnhandledExceptionFilter (the debugger, the error
// report), and the process ends with the fault's code, as the system's last-chance handler
// ends it. The handler finds the copy through a Win32 TLS slot, never a thread_local:
// mingw's thread_local may allocate on first use, which a handler amid a fault must not do.
// A fault handled inside a handler (by system code under it) abandons no call.

namespace {

struct LastFailure {
    EXCEPTION_RECORD record;
    CONTEXT context;
};

std::atomic<DWORD> g_failureSlot{TLS_OUT_OF_INDEXES};

// The thread's copy of its last failure; null on a thread that runs no handlers.
LastFailure* ThreadFailure()
{
    const DWORD slot = g_failureSlot.load(std::memory_order_acquire);
    if (slot == TLS_OUT_OF_INDEXES)
        return nullptr;
    const DWORD lastError = ::GetLastError();  // TlsGetValue clears it
    auto* pLast = static_cast<LastFailure*>(::TlsGetValue(slot));
    ::SetLastError(lastError);
    return pLast;
}

LONG CALLBACK NoteFailure(EXCEPTION_POINTERS* pPointers)
{
    if (!ReportsFailure(pPointers->ExceptionRecord->ExceptionCode))
        return EXCEPTION_CONTINUE_SEARCH;
    if (LastFailure* pLast = ThreadFailure()) {
        pLast->record = *pPointers->ExceptionRecord;
        pLast->record.ExceptionRecord = nullptr;
        pLast->context = *pPointers->ContextRecord;
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

DWORD FailureSlot()
{
    static const DWORD slot = [] {
        const DWORD allocated = ::TlsAlloc();
        g_failureSlot.store(allocated, std::memory_order_release);
        if (allocated != TLS_OUT_OF_INDEXES)
            ::AddVectoredExceptionHandler(0, &NoteFailure);
        return allocated;
    }();
    return slot;
}

// A thread's last failure and its handler calls in progress (stack addresses, outermost first).
struct ThreadCalls {
    ThreadCalls() : slot(FailureSlot()) { ::TlsSetValue(slot, &last); }
    ~ThreadCalls() { ::TlsSetValue(slot, nullptr); }
    ThreadCalls(const ThreadCalls&) = delete;
    ThreadCalls& operator=(const ThreadCalls&) = delete;

    DWORD slot;
    LastFailure last{};
    std::vector<std::uintptr_t> open;
};

ThreadCalls& Calls()
{
    thread_local ThreadCalls t_calls;
    return t_calls;
}

void EndProcessWith(LastFailure& failure)
{
    EXCEPTION_POINTERS pointers{&failure.record, &failure.context};
    ::UnhandledExceptionFilter(&pointers);
    ::TerminateProcess(::GetCurrentProcess(), failure.record.ExceptionCode);
}

// Forgets the last `count` calls, which never returned; a hardware fault behind them ends
// the process. Anything else that abandoned them is let go, as before.
void DropAbandoned(ThreadCalls& calls, std::size_t count)
{
    if (count == 0)
        return;
    calls.open.resize(calls.open.size() - count);
    if (IsHardwareFault(calls.last.record.ExceptionCode))
        EndProcessWith(calls.last);
    calls.last.record.ExceptionCode = 0;
}

}  // namespace

HandlerCall::HandlerCall() : m_here(reinterpret_cast<std::uintptr_t>(this))
{
    ThreadCalls& calls = Calls();
    DropAbandoned(calls, CallsAtOrBelow(calls.open, m_here));
    try {
        calls.open.push_back(m_here);
    } catch (const std::bad_alloc&) {
        m_here = 0;  // not watched
    }
}

void HandlerCall::Leave()
{
    if (m_here == 0)
        return;
    ThreadCalls& calls = Calls();
    const std::size_t count = CallsAtOrBelow(calls.open, m_here);
    if (count == 0)
        return;
    DropAbandoned(calls, count - 1);
    calls.open.pop_back();
}

void CheckHandlerCallsReturned()
{
    ThreadCalls& calls = Calls();
    DropAbandoned(calls, calls.open.size());
}

void ForgetLastFailure()
{
    if (LastFailure* pLast = ThreadFailure())
        pLast->record.ExceptionCode = 0;
}
