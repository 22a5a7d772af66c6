#pragma once
// A hardware fault in one of the program's handlers ends the program as the system ends a
// crashing one. The fault rarely gets that far by itself: Wine's callback dispatcher, the
// 64-bit Windows kernel boundary and user32's timer dispatch take exceptions that leave a
// window procedure and go on as if it had returned. So every window and dialog procedure
// marks its call into the program, and a call that never returned is found by the next one
// on its thread, by the call it was made from, or by the message loop.
#include <cstdint>

class HandlerCall {
public:
    // Checks for earlier calls on this thread that never returned, then opens this one.
    HandlerCall();
    HandlerCall(const HandlerCall&) = delete;
    HandlerCall& operator=(const HandlerCall&) = delete;

    // The handler has returned: closes the call, checking first for calls it made that never did.
    void Leave();

private:
    std::uintptr_t m_here;
};

// For a message loop that runs outside every handler: any call still open was abandoned.
void CheckHandlerCallsReturned();

// For a catch(...) around a handler: when what it caught is not a C++ exception but a
// hardware fault (a toolchain whose catch-all takes them), the program ends as above.
void EndProcessOnCaughtFault();
