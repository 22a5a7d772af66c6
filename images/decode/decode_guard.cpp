#include "images/decode/decode_guard.h"

#include <windows.h>

#include "framework/fault_rules.h"
#include "framework/handler_calls.h"
#include "images/decode/imaging_code.h"

// How the guard orders itself against the decoder's own handlers. The guarded call runs in a
// frame of the guard's own that carries a structured (frame-based) exception handler, as
// __try/__except does. The system offers an exception to the vectored handlers first, then
// to the frame handlers from the innermost frame outwards: every handler inside GDI+ and its
// codecs, all deeper than the guard, sees the fault first and may handle it. Only a fault
// that none of them handled reaches the guard's frame, and the guard takes it only when it
// is a hardware fault of the imaging code: raised inside it, or inside the C runtime or the
// system's core called from it (IsFaultOfImagingCode); anything else goes on outwards and
// ends the program as any crash does. A fault it takes is unwound properly (RtlUnwindEx)
// down to the guard's frame: the decoder's termination handlers (__finally, and destructors
// in code built for asynchronous exceptions) run on the way and may give back what they
// hold, then the call returns false with the fault's code.
// A lock the decoder took without such a handler stays taken.

static_assert(IsHardwareFault(EXCEPTION_ACCESS_VIOLATION) && IsHardwareFault(EXCEPTION_FLT_UNDERFLOW) &&
              !IsHardwareFault(EXCEPTION_STACK_OVERFLOW) && !IsHardwareFault(EXCEPTION_BREAKPOINT));

namespace {

// The guard takes a hardware fault of the imaging code, judged from the context at the
// faulting instruction; what the handler is shown while frames unwind is not a new fault.
bool TakesFault(const EXCEPTION_RECORD& record, const CONTEXT& context)
{
    return (record.ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) == 0 &&
           IsHardwareFault(record.ExceptionCode) && IsFaultOfImagingCode(context);
}

}  // namespace

#if defined(_MSC_VER)

namespace {

// 0 when fn returned, else the code of the fault the guard took.
unsigned long CallInGuardFrame(void (*fn)(void*), void* context)
{
    __try {
        fn(context);
    } __except (TakesFault(*GetExceptionInformation()->ExceptionRecord, *GetExceptionInformation()->ContextRecord)
                    ? EXCEPTION_EXECUTE_HANDLER
                    : EXCEPTION_CONTINUE_SEARCH) {
        return GetExceptionCode();
    }
    return 0;
}

}  // namespace

#elif defined(__GNUC__) && defined(__x86_64__)

// GCC has no __try: the frame is a small routine whose unwind data names the handler below
// (@except: it is asked on the search pass only), and whose continuation, reached through
// RtlUnwindEx, returns the fault's code that the unwind leaves in rax.
extern "C" {
unsigned long VistrelGuardFrame(void (*fn)(void*), void* context);
void VistrelGuardFrameContinue();
EXCEPTION_DISPOSITION VistrelGuardFrameHandler(EXCEPTION_RECORD* pRecord, void* pEstablisherFrame, CONTEXT* pContext,
                                               DISPATCHER_CONTEXT* pDispatch);
}

asm(R"(
    .text
    .globl VistrelGuardFrame
    .def VistrelGuardFrame; .scl 2; .type 32; .endef
    .seh_proc VistrelGuardFrame
VistrelGuardFrame:
    subq $40, %rsp
    .seh_stackalloc 40
    .seh_endprologue
    .seh_handler VistrelGuardFrameHandler, @except
    movq %rcx, %rax
    movq %rdx, %rcx
    callq *%rax
    xorl %eax, %eax
    .globl VistrelGuardFrameContinue
VistrelGuardFrameContinue:
    addq $40, %rsp
    retq
    .seh_endproc
)");

// The context it is handed is the fault's own; the dispatcher's is the guard frame's.
EXCEPTION_DISPOSITION VistrelGuardFrameHandler(EXCEPTION_RECORD* pRecord, void* pEstablisherFrame, CONTEXT* pContext,
                                               DISPATCHER_CONTEXT* pDispatch)
{
    if (!TakesFault(*pRecord, *pContext))
        return ExceptionContinueSearch;
    ::RtlUnwindEx(pEstablisherFrame, reinterpret_cast<void*>(&VistrelGuardFrameContinue), pRecord,
                  reinterpret_cast<void*>(static_cast<ULONG_PTR>(pRecord->ExceptionCode)), pDispatch->ContextRecord,
                  pDispatch->HistoryTable);
    return ExceptionContinueSearch;  // RtlUnwindEx does not come back
}

namespace {

unsigned long CallInGuardFrame(void (*fn)(void*), void* context)
{
    return VistrelGuardFrame(fn, context);
}

}  // namespace

#else

namespace {

// A 32-bit GCC build has no guard frame: a fault in the decoder ends the program there.
unsigned long CallInGuardFrame(void (*fn)(void*), void* context)
{
    fn(context);
    return 0;
}

}  // namespace

#endif

bool CallWithFaultGuard(void (*fn)(void*), void* context, unsigned long* pCode)
{
    const unsigned long code = CallInGuardFrame(fn, context);
    if (code != 0)
        ForgetLastFailure();  // contained here, it abandoned no handler call
    if (pCode)
        *pCode = code;
    return code == 0;
}
