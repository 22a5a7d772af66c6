#pragma once
// Where a fault was raised: inside the platform's imaging code (GDI+, the imaging component,
// the codec modules they call, and any codec extension that made a decoder the program
// uses) or anywhere else. Asked by the decoder's guard while a fault is being handled.

struct _CONTEXT;  // the system's processor context, as <windows.h> declares it

// Whether the code at `address` belongs to a loaded module that is the platform's imaging
// code. It allocates nothing and takes neither the loader's lock nor the heap's.
bool IsInImagingCode(const void* address);

// Whether a fault with this processor context (the one at the faulting instruction) is the
// imaging code's: raised in it, or in the C runtime or the system's core called from it.
// The stack is walked from the fault to the first frame outside the runtime and the core,
// whose module decides. Like IsInImagingCode, safe amid the fault's dispatch.
bool IsFaultOfImagingCode(const _CONTEXT& context);

// Counts the loaded module holding `address` as imaging code from now on: a codec extension
// (WebP, HEIF, a camera's raw format) is a DLL of its own, known only by the decoder object
// the imaging component hands out. Pass the address of one of that object's methods. A
// module that is not an image of a loaded DLL, or the program itself, is never counted.
void CountModuleAsImagingCode(const void* address);
