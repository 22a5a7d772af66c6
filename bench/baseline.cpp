// The baseline program: a Windows (GUI) program, started like the viewer, that does the least a
// GDI+ viewer can do (bench/minimal_viewer.h).
//   vistrel_bench_baseline next WARMFOLDER FOLDER W H   each file of FOLDER in turn: decode + one paint
//   vistrel_bench_baseline show PICTURE W H             decode, show and paint; stays until closed
#include <windows.h>

#include "framework/gdiplus_sdk.h"

#include <algorithm>
#include <cstdlib>

#include "bench/bench_util.h"
#include "bench/minimal_viewer.h"

namespace {

void Drain()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessageW(&msg);
}

int RunNext(const std::wstring& warm, const std::wstring& folder, int w, int h)
{
    bench::MinimalViewer viewer;
    if (!viewer.Create(w, h))
        return 3;
    ::ShowWindow(viewer.m_hWnd, SW_SHOWNOACTIVATE);
    // The codecs are loaded once per process; that is not part of a step.
    for (const std::wstring& name : bench::ListFiles(warm))
        viewer.Decode(warm + name);
    std::vector<std::wstring> names = bench::ListFiles(folder);
    if (names.empty())
        return 3;
    std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        return _wcsicmp(a.c_str(), b.c_str()) < 0;
    });
    // As the viewer does: the first file is opened untimed, then each step shows the next one,
    // the last step coming round to the first.
    viewer.Decode(folder + names.front());
    viewer.Paint();
    Drain();
    std::rotate(names.begin(), names.begin() + 1, names.end());
    for (const std::wstring& name : names) {
        const double t0 = bench::NowMs();
        if (!viewer.Decode(folder + name))
            std::fprintf(stderr, "cannot decode %s\n", bench::Narrow(name).c_str());
        const double t1 = bench::NowMs();
        viewer.Paint();
        const double t2 = bench::NowMs();
        bench::Report("next", bench::Narrow(name), t2 - t0);
        bench::Report("next-decode", bench::Narrow(name), t1 - t0);
        bench::Report("next-paint", bench::Narrow(name), t2 - t1);
        Drain();
    }
    return 0;
}

int RunShow(const std::wstring& path, int w, int h)
{
    bench::MinimalViewer viewer;
    if (!viewer.Decode(path) || !viewer.Create(w, h))
        return 1;
    viewer.ShowUntilClosed();
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    const std::vector<std::wstring> args = bench::Arguments();
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok)
        return 2;
    int rc = 2;
    if (args.size() == 6 && args[1] == L"next")
        rc = RunNext(bench::WithSlash(args[2]), bench::WithSlash(args[3]), _wtoi(args[4].c_str()),
                     _wtoi(args[5].c_str()));
    else if (args.size() == 5 && args[1] == L"show")
        rc = RunShow(args[2], _wtoi(args[3].c_str()), _wtoi(args[4].c_str()));
    else
        std::fputs("usage: vistrel_bench_baseline next WARMFOLDER FOLDER W H | show PICTURE W H\n", stderr);
    Gdiplus::GdiplusShutdown(token);
    return rc;
}
