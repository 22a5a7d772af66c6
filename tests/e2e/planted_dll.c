/* A stand-in for a system DLL of the same name, as one could land beside a program or a picture:
   it exports nothing and only leaves "<its own path>.loaded" behind when a process loads it. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID pReserved)
{
    WCHAR path[MAX_PATH + 8];
    const DWORD n = GetModuleFileNameW(hInstance, path, MAX_PATH);
    (void)pReserved;
    if (dwReason == DLL_PROCESS_ATTACH && n > 0 && n < MAX_PATH) {
        lstrcpyW(path + n, L".loaded");
        CloseHandle(CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL));
    }
    return TRUE;
}
