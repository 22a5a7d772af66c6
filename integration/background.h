#pragma once
// Wallpaper, calendar background and shell properties: the encoder lookup, and
// the system calls of the integration code that tests may replace to watch
// what the program asks of the shell.
#include <windows.h>

// Index of the first GDI+ encoder whose MIME type equals mime exactly, its CLSID
// copied to *pClsid; -1 (and *pClsid untouched) when there is none.
int FindEncoderByMime(const wchar_t* mime, CLSID* pClsid);

using GetSystemMetricsFn = int(WINAPI*)(int nIndex);
using GetFolderPathFn = HRESULT(WINAPI*)(HWND hwnd, int csidl, HANDLE hToken, DWORD dwFlags, LPWSTR pszPath);
using ObjectPropertiesFn = BOOL(WINAPI*)(HWND hwnd, DWORD shopObjectType, PCWSTR pszObjectName,
                                         PCWSTR pszPropertyPage);
using GetModuleFileNameFn = DWORD(WINAPI*)(HMODULE hModule, LPWSTR lpFilename, DWORD nSize);

// Screen size for the wallpaper crop (GetSystemMetricsW).
extern GetSystemMetricsFn g_pfnGetSystemMetrics;
// The application-data folder (SHGetFolderPathW).
extern GetFolderPathFn g_pfnGetFolderPath;
// The shell's property sheet; null means shell32's export by ordinal 178.
extern ObjectPropertiesFn g_pfnObjectProperties;
// The running program's path, for the file associations (GetModuleFileNameW).
extern GetModuleFileNameFn g_pfnGetModuleFileName;
