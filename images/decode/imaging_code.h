#pragma once
// Where a fault was raised: inside the platform's imaging code (GDI+ and the codec modules
// it calls) or anywhere else. Asked by the decoder's guard while a fault is being handled.

// Whether the code at `address` belongs to a loaded module that is the platform's imaging
// code. It allocates nothing and takes neither the loader's lock nor the heap's.
bool IsInImagingCode(const void* address);
