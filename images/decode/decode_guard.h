#pragma once
// Containment of hardware faults (access violations and the like) raised inside the
// platform's picture decoder. Only a fault raised during the guarded call inside the
// platform's imaging code, or inside the C runtime or the system's core called from it, and
// left unhandled by that code's own handlers, is contained; a fault anywhere else (the
// program's own code, the runtime or the core called from it) still ends the program as any
// crashing Windows program ends.

// Runs fn(context) on the calling thread. Returns true when fn returned normally and false
// when a fault of the imaging code was contained; the fault's code then goes to *pCode, and
// the thread's handler calls keep no trace of it (ForgetLastFailure).
// The frames between the guard and the fault are unwound, and frames built by GCC run no
// destructors on that way back: fn and what it calls of the program's own must hold nothing
// that needs one, and take no lock. C++ exceptions thrown by fn pass through untouched.
bool CallWithFaultGuard(void (*fn)(void*), void* context, unsigned long* pCode = nullptr);

template <class F>
bool CallGuarded(F& f, unsigned long* pCode = nullptr)
{
    return CallWithFaultGuard([](void* p) { (*static_cast<F*>(p))(); }, &f, pCode);
}
