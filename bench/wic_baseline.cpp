// The WIC baseline program: a Windows (GUI) program, started like the viewer, that does the
// least a viewer can do with Windows' imaging component (bench/minimal_wic_viewer.h).
//   vistrel_bench_wic show PICTURE W H   decode, show and paint; stays until closed
#include <windows.h>
#include <objbase.h>

#include <cstdlib>

#include "bench/bench_util.h"
#include "bench/minimal_wic_viewer.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    const std::vector<std::wstring> args = bench::Arguments();
    if (args.size() != 5 || args[1] != L"show") {
        std::fputs("usage: vistrel_bench_wic show PICTURE W H\n", stderr);
        return 2;
    }
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)))
        return 2;
    int rc = 0;
    {
        bench::MinimalWicViewer viewer;
        if (viewer.Decode(args[2]) && viewer.Create(_wtoi(args[3].c_str()), _wtoi(args[4].c_str())))
            viewer.ShowUntilClosed();
        else
            rc = 1;
    }
    ::CoUninitialize();
    return rc;
}
