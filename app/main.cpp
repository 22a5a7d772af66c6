#include <windows.h>

#include "app/vistrel_app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    return AfxWinMain(theApp);
}
