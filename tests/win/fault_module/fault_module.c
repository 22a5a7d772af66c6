/* A module of its own that stands for a codec extension in the tests of the decoder's guard:
   it faults in its own code, or in the C runtime's memcpy (the system's msvcrt.dll) it calls. */
#include <windows.h>

typedef void* (__cdecl *CopyBytes)(void*, const void*, size_t);

/* Stores after each faulting call keep it from being a tail call, which would leave no frame
   of this module on the stack. */
static volatile int g_done;

__declspec(dllexport) void FaultModuleWriteThroughNull(void)
{
    volatile int* volatile p = NULL;
    *p = 1;
    g_done = 1;
}

__declspec(dllexport) void FaultModuleCopyIntoBadPointer(void)
{
    static const char bytes[256];
    CopyBytes copy = (CopyBytes)(void*)GetProcAddress(LoadLibraryW(L"msvcrt.dll"), "memcpy");
    if (copy)
        copy((void*)(ULONG_PTR)0x10, bytes, sizeof(bytes));
    g_done = 2;
}
