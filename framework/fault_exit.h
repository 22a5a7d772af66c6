#pragma once
// A hardware fault that reaches a window procedure ends the program as the system ends a
// crashing one. mingw's unwinder hands such faults to catch(...) as foreign exceptions,
// so the trampoline's catch-all asks here what it caught; MSVC's catch(...) never sees them.

// Starts noting the failures raised on the calling thread; cheap once it has run there.
void WatchThreadFaults();

// For a catch(...) block: when what it caught is a hardware fault and not a C++ exception,
// hands the fault to the system's crash handling and ends the process with the fault's code.
// Returns otherwise.
void EndProcessOnCaughtFault();
