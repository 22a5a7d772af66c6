#pragma once
// A hardware fault in one of the program's handlers ends the program as the system ends a
// crashing one. The fault does not always get that far by itself: a catch(...) does not
// take it, but a handler the system called back through (a command from an accelerator,
// a message the system sends) may be left by the system's callback dispatcher, which takes
// the fault and goes on as if the handler had returned (Wine does; 64-bit Windows has done
// so at its kernel boundary). So every window and dialog procedure marks its call into the
// program, and a call that never returned is found by the next one on its thread, by the
// call it was made from, or by the message loop.
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

// The failure last raised on this thread was dealt with where it was raised (the decoder's
// guard contained it): no handler call found abandoned later is its doing.
void ForgetLastFailure();
