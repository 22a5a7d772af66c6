/* A stand-in for a system DLL of the same name, as one could land unasked in a download folder or
   beside a picture: it does nothing but leave "<its own path>.loaded" behind when a process loads
   it. It exports nothing, so a program that took it for the real one would not work. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID pReserved)
{
    (void)pReserved;
    if (dwReason == DLL_PROCESS_ATTACH) {
        WCHAR path[MAX_PATH + 8];
        const DWORD n = GetModuleFileNameW(hInstance, path, MAX_PATH);
        if (n > 0 && n < MAX_PATH) {
            lstrcpyW(path + n, L".loaded");
            const HANDLE h = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
            if (h != INVALID_HANDLE_VALUE)
                CloseHandle(h);
        }
    }
    return TRUE;
}
