#include <windows.h>

#include "app/dll_search.h"
#include "app/vistrel_app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    // Before any DLL beyond those the loader brought.
    LockDllSearch();
    return AfxWinMain(theApp);
}
