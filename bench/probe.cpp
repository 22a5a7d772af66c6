// Starts a program and watches it from process start to its first painted picture: the moment
// the screen pixel (X, Y) takes the expected colour.
//   vistrel_bench_probe time LABEL X Y RRGGBB PROGRAM [ARGS...]     prints "startup LABEL <ms>"
//   vistrel_bench_probe memory [--after MS] LABEL X Y RRGGBB PROGRAM [ARGS...]
//                                                 prints "memory LABEL <peak> <last> <samples>"
// Memory is the program's private bytes (bytes). Wine reports them as its resident anonymous
// memory and keeps no peak, so the probe samples them all along, from the start to MS (default
// 300) after the first paint, and keeps the highest value. RRGGBB "none" waits 2 s instead of a
// colour.
// Timing runs take no samples, so the two never disturb each other.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_util.h"

namespace {

constexpr int kTolerance = 48;
constexpr double kTimeoutMs = 60000.0;
constexpr double kDefaultSettleMs = 300.0;
constexpr double kNoColourWaitMs = 2000.0;

bool Near(COLORREF a, COLORREF b)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= kTolerance && std::abs(GetGValue(a) - GetGValue(b)) <= kTolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= kTolerance;
}

std::wstring Quote(const std::wstring& arg)
{
    return arg.find_first_of(L" \t\"") == std::wstring::npos ? arg : L"\"" + arg + L"\"";
}

// Waits until (x, y) does not show the colour, so a window left from an earlier run cannot
// end the timing early.
bool WaitForClearScreen(HDC screen, int x, int y, COLORREF color)
{
    for (int i = 0; i < 500; ++i) {
        if (!Near(::GetPixel(screen, x, y), color))
            return true;
        ::Sleep(10);
    }
    return false;
}

SIZE_T PrivateBytes(HANDLE hProcess)
{
    PROCESS_MEMORY_COUNTERS_EX pmc{};
    pmc.cb = sizeof(pmc);
    if (!::GetProcessMemoryInfo(hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof(pmc)))
        return 0;
    // Windows fills PrivateUsage; Wine leaves it 0 and reports the same figure as PagefileUsage.
    return std::max(pmc.PrivateUsage, pmc.PagefileUsage);
}

void Close(HANDLE hProcess, DWORD pid, int x, int y)
{
    HWND hWnd = ::GetAncestor(::WindowFromPoint(POINT{x, y}), GA_ROOT);
    DWORD owner = 0;
    if (hWnd)
        ::GetWindowThreadProcessId(hWnd, &owner);
    if (owner == pid)
        ::PostMessageW(hWnd, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(hProcess, 10000) != WAIT_OBJECT_0) {
        ::TerminateProcess(hProcess, 1);
        ::WaitForSingleObject(hProcess, 10000);
    }
}

}  // namespace

int main()
{
    std::vector<std::wstring> args = bench::Arguments();
    double settleMs = kDefaultSettleMs;
    if (args.size() > 3 && args[1] == L"memory" && args[2] == L"--after") {
        settleMs = _wtof(args[3].c_str());
        args.erase(args.begin() + 2, args.begin() + 4);
    }
    if (args.size() < 7 || (args[1] != L"time" && args[1] != L"memory")) {
        std::fputs("usage: vistrel_bench_probe time|memory [--after MS] LABEL X Y RRGGBB|none PROGRAM [ARGS...]\n",
                   stderr);
        return 2;
    }
    const bool bMemory = args[1] == L"memory";
    const std::string label = bench::Narrow(args[2]);
    const int x = _wtoi(args[3].c_str());
    const int y = _wtoi(args[4].c_str());
    const bool bColour = args[5] != L"none";
    const unsigned long rgb = std::wcstoul(args[5].c_str(), nullptr, 16);
    const COLORREF color = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    std::wstring cmdline;
    for (size_t i = 6; i < args.size(); ++i)
        cmdline += (i > 6 ? L" " : L"") + Quote(args[i]);

    HDC screen = ::GetDC(nullptr);
    if (bColour && !WaitForClearScreen(screen, x, y, color)) {
        std::fputs("the screen already shows the colour\n", stderr);
        return 3;
    }
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    const double t0 = bench::NowMs();
    if (!::CreateProcessW(nullptr, cmdline.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        std::fprintf(stderr, "cannot start %s\n", bench::Narrow(cmdline).c_str());
        return 3;
    }
    double tPainted = 0.0;
    SIZE_T peak = 0, last = 0;
    unsigned samples = 0;
    for (;;) {
        const double now = bench::NowMs();
        if (bMemory) {
            last = PrivateBytes(pi.hProcess);
            peak = std::max(peak, last);
            ++samples;
        }
        if (tPainted == 0.0 && (bColour ? Near(::GetPixel(screen, x, y), color) : now - t0 >= kNoColourWaitMs)) {
            tPainted = now;
            if (!bMemory)
                break;
        }
        if (tPainted > 0.0 && now - tPainted >= settleMs)
            break;
        if (now - t0 > kTimeoutMs || ::WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0)
            break;
        ::Sleep(1);
    }
    ::ReleaseDC(nullptr, screen);
    int rc = 0;
    if (tPainted == 0.0) {
        std::fprintf(stderr, "%s: no painted picture at (%d, %d)\n", label.c_str(), x, y);
        rc = 1;
    } else if (bMemory) {
        std::printf("memory %s %llu %llu %u\n", label.c_str(), static_cast<unsigned long long>(peak),
                    static_cast<unsigned long long>(last), samples);
    } else {
        bench::Report("startup", label, tPainted - t0);
    }
    std::fflush(stdout);
    Close(pi.hProcess, pi.dwProcessId, x, y);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return rc;
}
