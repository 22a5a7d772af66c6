#pragma once
// Containment of hardware faults (access violations and the like) raised inside the
// platform's picture decoder. Only the guarded call is covered; a fault anywhere else
// still ends the program as any crashing Windows program ends.

// Runs fn(context) on the calling thread. Returns true when fn returned normally and false
// when a hardware fault was raised inside it; the fault's code then goes to *pCode. C++
// exceptions thrown by fn pass through untouched.
bool CallWithFaultGuard(void (*fn)(void*), void* context, unsigned long* pCode = nullptr);

template <class F>
bool CallGuarded(F& f, unsigned long* pCode = nullptr)
{
    return CallWithFaultGuard([](void* p) { (*static_cast<F*>(p))(); }, &f, pCode);
}
