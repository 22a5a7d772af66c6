#pragma once
// The DPI the program draws its interface at, asked of the system where it can answer.
#include <windows.h>

#include <cstdint>

// The DPI of the window's monitor for a per-monitor-aware program (GetDpiForWindow where the
// system has it), otherwise the system's DPI.
uint32_t WindowDpi(HWND hWnd);

// The DPI the system metrics (the menu font among them) are given at.
uint32_t SystemDpi();
