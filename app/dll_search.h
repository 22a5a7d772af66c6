#pragma once
// Where the program's DLLs come from: the system folder, never the program's own folder or the
// current one, where a file of a system DLL's name may lie unasked (a download folder, the
// folder of the picture opened).
#include <windows.h>

// First thing in the process: from here on every DLL loaded by name, the delay-loaded ones
// included, is looked for in the system folder only. Where the system cannot lock the search
// (Windows 7 without its update KB2533623) the current folder is at least taken out of it.
void LockDllSearch();

// A DLL of the system folder, whether or not the search could be locked.
HMODULE LoadSystemLibrary(const wchar_t* name) noexcept;
