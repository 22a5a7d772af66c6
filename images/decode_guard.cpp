#include "images/decode_guard.h"

// Placeholder until the vectored-handler guard lands: the call runs unguarded.
bool CallWithFaultGuard(void (*fn)(void*), void* context, unsigned long* pCode)
{
    if (pCode)
        *pCode = 0;
    fn(context);
    return true;
}
