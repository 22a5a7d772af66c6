#include "framework/fault_exit.h"

#include <windows.h>

#include <exception>

#include "framework/fault_codes.h"

// A passive vectored handler copies the latest failure raised on each watched thread
// (record and context: the originals live on stack the unwinder reuses). A catch-all
// that caught no C++ exception looks there; a hardware fault then goes where an unhandled
// one goes, UnhandledExceptionFilter (the debugger, the error report), and the process
// ends with the fault's code, as the system's last-chance handler ends it. The TLS slot,
// not a thread_local, is what the handler reads: mingw's thread_local may allocate.

namespace {

struct LastFailure {
    EXCEPTION_RECORD record;
    CONTEXT context;
};

DWORD g_failureSlot = TLS_OUT_OF_INDEXES;

LONG CALLBACK NoteFailure(EXCEPTION_POINTERS* pPointers)
{
    if (!ReportsFailure(pPointers->ExceptionRecord->ExceptionCode))
        return EXCEPTION_CONTINUE_SEARCH;
    const DWORD lastError = ::GetLastError();  // TlsGetValue clears it
    auto* pLast = static_cast<LastFailure*>(::TlsGetValue(g_failureSlot));
    ::SetLastError(lastError);
    if (pLast) {
        pLast->record = *pPointers->ExceptionRecord;
        pLast->record.ExceptionRecord = nullptr;
        pLast->context = *pPointers->ContextRecord;
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

DWORD FailureSlot()
{
    static const DWORD slot = [] {
        g_failureSlot = ::TlsAlloc();
        if (g_failureSlot != TLS_OUT_OF_INDEXES)
            ::AddVectoredExceptionHandler(0, &NoteFailure);
        return g_failureSlot;
    }();
    return slot;
}

// The thread's copy, where the handler finds it for as long as the thread runs.
class ThreadFailure {
public:
    ThreadFailure() : m_slot(FailureSlot()) { ::TlsSetValue(m_slot, &m_last); }
    ~ThreadFailure() { ::TlsSetValue(m_slot, nullptr); }
    ThreadFailure(const ThreadFailure&) = delete;
    ThreadFailure& operator=(const ThreadFailure&) = delete;

private:
    DWORD m_slot;
    LastFailure m_last{};
};

}  // namespace

void WatchThreadFaults()
{
    static thread_local ThreadFailure t_failure;
    (void)t_failure;
}

void EndProcessOnCaughtFault()
{
    if (std::current_exception())
        return;
    auto* pLast = static_cast<LastFailure*>(::TlsGetValue(FailureSlot()));
    if (!pLast || !IsHardwareFault(pLast->record.ExceptionCode))
        return;
    EXCEPTION_POINTERS pointers{&pLast->record, &pLast->context};
    ::UnhandledExceptionFilter(&pointers);
    ::TerminateProcess(::GetCurrentProcess(), pLast->record.ExceptionCode);
}
