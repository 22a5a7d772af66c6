// A real main window timed from inside its own process, with the program's own code:
//   vistrel_bench_driver next WARMFOLDER FOLDER   each Next over FOLDER (command to the end of its paint),
//                                                 paired with the minimal viewer showing the same file
//   vistrel_bench_driver pan PICTURE RUNS ZOOMIN  60-pixel arrow steps and full repaints, each interpolation,
//                                                 after ZOOMIN zoom-in steps from the picture's own size
//   vistrel_bench_driver rescan RUNS FOLDER...    the folder list rebuild against a bare enumeration
//   vistrel_bench_driver dwell FOLDER PAIRS       Next and then Prev, each step either at once or after
//                                                 looking at the picture for 2 s, in PAIRS pairs each way,
//                                                 and the prepared pictures held after each look
//   vistrel_bench_driver burst FOLDER RUNS        after a 3 s look at the first of nine pictures, eight Next
//                                                 commands queued 40 ms apart, to the paint of the ninth;
//                                                 read-ahead on and off in turn
//   vistrel_bench_driver nonpicture SMALL LARGE RUNS  Next from a.jpg over b.mov to c.jpg at once after the
//                                                 open, read-ahead on, b.mov being 3 bytes in SMALL and
//                                                 3 GiB in LARGE, in turn; and the growth of the peak
//                                                 working set over the step
// Results go to stdout one per line ("<what> <label> <ms>"), anything odd to stderr.
#include <windows.h>
#include <objbase.h>
#include <psapi.h>

#include "framework/gdiplus_sdk.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/vistrel_app.h"
#include "bench/bench_util.h"
#include "bench/minimal_viewer.h"
#include "framework/win_app.h"
#include "images/ahead/read_ahead.h"
#include "images/decode/picture_decode.h"
#include "images/folder/file_order.h"
#include "mainframe/main_frame.h"
#include "res/resource.h"

namespace {

// Every message queued or arriving within nMilliseconds, as the program's loop would handle them.
void Pump(DWORD nMilliseconds = 0)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                continue;
            if (!theApp.PreTranslateMessage(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
        if (::GetTickCount() - start >= nMilliseconds)
            break;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

void ResetSettings()
{
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"SOFTWARE\\Vistrel");
}

// The main window as the program starts it with a picture on its command line.
CMainFrame* OpenFrame(const std::wstring& path)
{
    theApp.m_strFile = path;
    auto* frame = new CMainFrame;
    theApp.m_pMainWnd = frame;
    if (!frame->LoadFrame(IDR_MAINFRAME, WS_POPUP, nullptr, nullptr)) {
        std::fputs("LoadFrame failed\n", stderr);
        std::exit(3);
    }
    Pump(300);
    if (!frame->m_pImage) {
        std::fprintf(stderr, "cannot open %s\n", bench::Narrow(path).c_str());
        std::exit(3);
    }
    return frame;
}

void CloseFrame(CMainFrame* frame)
{
    ::DestroyWindow(frame->m_hWnd);  // the frame deletes itself
    theApp.m_pMainWnd = nullptr;
    Pump(100);
}

void Warm(const std::wstring& folder)
{
    for (const std::wstring& name : bench::ListFiles(folder))
        delete new Gdiplus::Bitmap((folder + name).c_str(), TRUE);
}

double TimedRepaint(CMainFrame* frame)
{
    const double t0 = bench::NowMs();
    frame->Invalidate(FALSE);
    frame->UpdateWindow();
    const double t1 = bench::NowMs();
    Pump();
    return t1 - t0;
}

// Puts the window on top and lets it repaint what that uncovers, so the next paint is not clipped.
void Raise(HWND hWnd)
{
    ::SetWindowPos(hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::UpdateWindow(hWnd);
    Pump();
}

// Each Next over the folder, paired with the minimal viewer showing the same file in a window of
// the same size and place, the two taking turns to go first: the pair is measured within a second
// and in one process, so a change in the machine's load touches both alike.
int RunNext(const std::wstring& warm, const std::wstring& folder)
{
    Warm(warm);
    std::vector<std::wstring> names = bench::ListFiles(folder);
    if (names.empty())
        return 3;
    std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) { return FileNameLess(a, b); });
    CMainFrame* frame = OpenFrame(folder + names.front());
    // The decode a step makes itself is measured here: no worker prepares the next picture
    // while the minimal viewer takes its turn (the look and burst rows measure read-ahead).
    frame->StopReadAhead();
    frame->m_bReadAhead = false;
    const CRect rc = frame->GetClientRect();
    std::printf("size client %d %d\n", rc.Width(), rc.Height());
    bench::MinimalViewer baseline;
    if (!baseline.Create(rc.Width(), rc.Height()) || !baseline.Decode(folder + names.front()))
        return 3;
    ::ShowWindow(baseline.m_hWnd, SW_SHOWNOACTIVATE);
    Pump();

    auto stepVistrel = [&] {
        Raise(frame->m_hWnd);
        const std::wstring before = frame->m_strFileName;
        const double t0 = bench::NowMs();
        // As the accelerator sends it (Space).
        frame->SendMessage(WM_COMMAND, MAKEWPARAM(ID_FILE_NEXT, 1), 0);
        frame->UpdateWindow();
        const double t1 = bench::NowMs();
        Pump();
        const double t2 = bench::NowMs();
        if (frame->m_strFileName == before)
            std::fprintf(stderr, "Next did not change the picture at %s\n", bench::Narrow(before).c_str());
        const std::string name = bench::Narrow(frame->m_strFileName);
        bench::Report("next-vistrel", name, t1 - t0);
        bench::Report("next-vistrel-idle", name, t2 - t0);
    };
    auto stepBaseline = [&](const std::wstring& file) {
        Raise(baseline.m_hWnd);
        const double t0 = bench::NowMs();
        if (!baseline.Decode(folder + file))
            std::fprintf(stderr, "cannot decode %s\n", bench::Narrow(file).c_str());
        const double t1 = bench::NowMs();
        baseline.Paint();
        const double t2 = bench::NowMs();
        Pump();
        const std::string name = bench::Narrow(file);
        bench::Report("next-baseline", name, t2 - t0);
        bench::Report("next-baseline-decode", name, t1 - t0);
        bench::Report("next-baseline-paint", name, t2 - t1);
    };
    for (size_t i = 0; i < names.size(); ++i) {
        const std::wstring& file = names[(i + 1) % names.size()];
        if (i % 2 == 0) {
            stepVistrel();
            stepBaseline(file);
        } else {
            stepBaseline(file);
            stepVistrel();
        }
    }
    CloseFrame(frame);
    return 0;
}

double TimedStep(CMainFrame* frame, UINT vk)
{
    const CPoint before = frame->m_ptScroll;
    const double t0 = bench::NowMs();
    frame->SendMessage(WM_KEYDOWN, vk, 1);
    frame->UpdateWindow();
    const double t1 = bench::NowMs();
    if (std::abs(frame->m_ptScroll.x - before.x) != 60)
        std::fprintf(stderr, "the key did not pan 60 pixels (%d -> %d)\n", before.x, frame->m_ptScroll.x);
    Pump();
    return t1 - t0;
}

// The parts of a step: the system's scroll of the window alone, the paint of the uncovered
// strip alone, and the fixed cost of any paint (a one-pixel box).
void TimeStepParts(CMainFrame* frame, const std::string& mode)
{
    const CRect rc = frame->GetClientRect();
    double t0 = bench::NowMs();
    ::ScrollWindow(frame->m_hWnd, -60, 0, nullptr, nullptr);
    ::ValidateRect(frame->m_hWnd, nullptr);
    double t1 = bench::NowMs();
    bench::Report("pan-scroll", mode, t1 - t0);
    TimedRepaint(frame);  // puts the picture back where the program has it

    const RECT strip{rc.right - 60, 0, rc.right, rc.bottom};
    t0 = bench::NowMs();
    ::InvalidateRect(frame->m_hWnd, &strip, FALSE);
    frame->UpdateWindow();
    t1 = bench::NowMs();
    bench::Report("pan-strip", mode, t1 - t0);

    const RECT dot{0, 0, 1, 1};
    t0 = bench::NowMs();
    ::InvalidateRect(frame->m_hWnd, &dot, FALSE);
    frame->UpdateWindow();
    t1 = bench::NowMs();
    bench::Report("pan-dot", mode, t1 - t0);
    Pump();
}

int RunPan(const std::wstring& path, int runs, int zoomSteps)
{
    CMainFrame* frame = OpenFrame(path);
    for (int i = 0; i < zoomSteps; ++i)
        frame->SendMessage(WM_COMMAND, MAKEWPARAM(ID_VIEW_ZOOM_IN, 1), 0);
    Pump(100);
    const CRect rc = frame->GetClientRect();
    std::printf("size client %d %d view %d %d zoom %.4f\n", rc.Width(), rc.Height(), frame->m_sizeView.cx,
                frame->m_sizeView.cy, frame->m_fZoom);
    if (!frame->m_bCanPan)
        std::fputs("the picture cannot be panned in this window\n", stderr);
    static const char* const kModes[] = {"default", "nearest", "bilinear", "hq-bilinear", "bicubic", "hq-bicubic"};
    for (int mode = 0; mode < 6; ++mode) {
        const std::string label = std::string(kModes[mode]) + "@" + std::to_string(static_cast<int>(frame->m_fZoom * 100.0));
        frame->SendMessage(WM_COMMAND, MAKEWPARAM(ID_INTERP_DEFAULT + mode, 0), 0);
        Pump();
        TimedRepaint(frame);
        TimedStep(frame, VK_RIGHT);  // warm-up of this mode
        for (int r = 0; r < runs; ++r) {
            bench::Report("pan-step", label, TimedStep(frame, r % 2 ? VK_RIGHT : VK_LEFT));
            bench::Report("pan-full", label, TimedRepaint(frame));
            TimeStepParts(frame, label);
        }
    }
    frame->m_nInterpolation = 0;
    CloseFrame(frame);
    return 0;
}

// What the program's rebuild is measured against: the enumeration alone.
size_t BareEnumeration(const std::wstring& folder)
{
    size_t n = 0;
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW((folder + L"*.*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            ++n;
    } while (::FindNextFileW(h, &fd));
    ::FindClose(h);
    return n;
}

// One folder of the rescan: a window object that holds its list, and the folder as the
// enumeration gives it, to time the program's own part apart from the enumeration.
struct RescanFolder {
    std::wstring folder;
    std::string label;
    CMainFrame frame;
    std::vector<std::pair<std::wstring, bool>> entries;
};

void PrepareRescan(RescanFolder& f)
{
    f.frame.m_strFolder = f.folder;
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW((f.folder + L"*.*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do
            f.entries.emplace_back(fd.cFileName, (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
        while (::FindNextFileW(h, &fd));
        ::FindClose(h);
    }
    f.label = std::to_string(BareEnumeration(f.folder));
    // The picture shown is some entry in the middle of the folder.
    f.frame.m_strFileName = f.entries.empty() ? L"" : f.entries[f.entries.size() / 2].first;
    f.frame.RebuildFileList();
}

void TimeRescan(RescanFolder& f)
{
    double t0 = bench::NowMs();
    const size_t bare = BareEnumeration(f.folder);
    double t1 = bench::NowMs();
    bench::Report("rescan-bare", f.label, t1 - t0);
    t0 = bench::NowMs();
    f.frame.RebuildFileList();
    t1 = bench::NowMs();
    bench::Report("rescan-rebuild", f.label, t1 - t0);
    if (f.frame.m_listFiles.size() != bare || f.frame.m_itCurrent == f.frame.m_listFiles.end())
        std::fprintf(stderr, "the rebuild listed %zu of %zu files\n", f.frame.m_listFiles.size(), bare);
    size_t i = 0;
    auto next = [&](std::wstring& name, bool& bDirectory) {
        if (i == f.entries.size())
            return false;
        name = f.entries[i].first;
        bDirectory = f.entries[i].second;
        ++i;
        return true;
    };
    t0 = bench::NowMs();
    ::RebuildFileList(f.frame.m_listFiles, f.frame.m_itCurrent, f.frame.m_strFileName, next);
    t1 = bench::NowMs();
    bench::Report("rescan-own", f.label, t1 - t0);
}

// The folders take turns within each run, so the growth from one to the next is measured
// between neighbours in time.
int RunRescan(const std::vector<std::wstring>& folders, int runs)
{
    std::vector<std::unique_ptr<RescanFolder>> all;
    for (const std::wstring& folder : folders) {
        all.push_back(std::make_unique<RescanFolder>());
        all.back()->folder = folder;
        PrepareRescan(*all.back());
    }
    for (int r = 0; r < runs; ++r)
        for (auto& f : all)
            TimeRescan(*f);
    return 0;
}

// One step of the walk as the user makes it: either the command at once or a look at the
// picture for 2 s first.
// Timed from the command to the end of its paint.
void DwellStep(CMainFrame* frame, UINT nCommand, const char* pszWay, bool bLook, bool bReport)
{
    Pump();
    // At once means before anything is ready: the pictures a look prepared further ahead are
    // dropped, so the step decodes its picture, as the first step after an open does.
    if (bLook)
        Pump(2000);
    else if (frame->m_pReadAhead)
        frame->m_pReadAhead->DropAll();
    const ReadAhead::Counts before = frame->m_pReadAhead ? frame->m_pReadAhead->GetCounts() : ReadAhead::Counts{};
    const std::wstring name = frame->m_strFileName;
    const double t0 = bench::NowMs();
    frame->SendMessage(WM_COMMAND, MAKEWPARAM(nCommand, 1), 0);
    frame->UpdateWindow();
    const double t1 = bench::NowMs();
    if (frame->m_strFileName == name)
        std::fprintf(stderr, "the %s step did not change the picture at %s\n", pszWay, bench::Narrow(name).c_str());
    const size_t nTaken = frame->m_pReadAhead ? frame->m_pReadAhead->GetCounts().nTaken : 0;
    if (bLook && nTaken <= before.nTaken)
        std::fprintf(stderr, "the %s step after a look at %s took no prepared picture\n", pszWay,
                     bench::Narrow(name).c_str());
    if (!bReport)
        return;
    const std::string way = pszWay;
    bench::Report(bLook ? "dwell-look" : "dwell-once", way, t1 - t0);
    if (bLook)
        std::printf("dwell-held %s %zu\n", pszWay, before.nPictures);
}

// Next from the first entry of the folder, then Prev from the last, each way in a window of its
// own as the program starts it with read-ahead on, so that pictures prepared on the way out do
// not serve the way back. Each way begins with one untimed step that sets its direction; then
// the two kinds of step take turns in pairs, which of the pair goes first alternating, so a
// change in the machine's load touches both alike. The folder needs 2 + 2 x PAIRS entries, so
// that no step wraps.
int RunDwell(const std::wstring& folder, int pairs)
{
    std::vector<std::wstring> names = bench::ListFiles(folder);
    if (names.size() < static_cast<size_t>(2 + 2 * pairs)) {
        std::fprintf(stderr, "the folder needs %d pictures\n", 2 + 2 * pairs);
        return 3;
    }
    std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) { return FileNameLess(a, b); });
    struct Way {
        UINT nCommand;
        const char* pszWay;
        std::wstring strFirst;
    };
    for (const Way& way : {Way{ID_FILE_NEXT, "forward", names.front()}, Way{ID_FILE_PREV, "backward", names.back()}}) {
        CMainFrame* frame = OpenFrame(folder + way.strFirst);
        if (!frame->m_bReadAhead)
            std::fputs("read-ahead is off\n", stderr);
        DwellStep(frame, way.nCommand, way.pszWay, false, false);
        for (int i = 0; i < pairs; ++i) {
            const bool bLookFirst = i % 2 != 0;
            DwellStep(frame, way.nCommand, way.pszWay, bLookFirst, true);
            DwellStep(frame, way.nCommand, way.pszWay, !bLookFirst, true);
        }
        CloseFrame(frame);
    }
    return 0;
}

// Committed private memory of this process, as the probe counts it for another one.
uint64_t PrivateBytes()
{
    uint64_t nBytes = 0;
    MEMORY_BASIC_INFORMATION info{};
    for (const char* p = nullptr; ::VirtualQuery(p, &info, sizeof(info)) == sizeof(info);
         p = static_cast<const char*>(info.BaseAddress) + info.RegionSize) {
        if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE)
            nBytes += info.RegionSize;
    }
    return nBytes;
}

// A user flipping through photos: a 3 s look at the first picture, then eight Next commands
// posted 40 ms apart from another thread, as keys arrive while the window is busy. Timed from
// the first command to the end of the paint that shows the ninth picture; read-ahead on and
// off take turns, which goes first alternating. Round 0 is the warm-up.
int RunBurst(const std::wstring& folder, int runs)
{
    std::vector<std::wstring> names = bench::ListFiles(folder);
    if (names.size() != 9) {
        std::fputs("the folder needs nine pictures\n", stderr);
        return 3;
    }
    std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) { return FileNameLess(a, b); });
    for (int round = 0; round <= runs; ++round) {
        for (int k = 0; k < 2; ++k) {
            const bool bOn = (k == 0) == (round % 2 == 0);
            ResetSettings();
            const DWORD nOff = 0;
            if (!bOn)
                ::RegSetKeyValueW(HKEY_CURRENT_USER, L"SOFTWARE\\Vistrel", L"ReadAhead", REG_DWORD, &nOff, sizeof(nOff));
            CMainFrame* frame = OpenFrame(folder + names.front());
            if (frame->m_bReadAhead != bOn)
                std::fputs("the read-ahead setting was not taken\n", stderr);
            Pump(3000);
            const HWND hWnd = frame->m_hWnd;
            const double t0 = bench::NowMs();
            std::thread poster([hWnd] {
                for (int i = 0; i < 8; ++i) {
                    if (i > 0)
                        ::Sleep(40);
                    ::PostMessageW(hWnd, WM_COMMAND, MAKEWPARAM(ID_FILE_NEXT, 1), 0);
                }
            });
            while (frame->m_strFileName != names.back()) {
                if (bench::NowMs() - t0 > 60000) {
                    std::fputs("the burst never reached the ninth picture\n", stderr);
                    break;
                }
                MSG msg;
                if (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                    ::TranslateMessage(&msg);
                    ::DispatchMessageW(&msg);
                } else {
                    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
                }
            }
            frame->UpdateWindow();
            const double t1 = bench::NowMs();
            poster.join();
            const ReadAhead::Counts counts = frame->m_pReadAhead ? frame->m_pReadAhead->GetCounts() : ReadAhead::Counts{};
            const size_t nHeld = counts.nPictures;
            if (round > 0) {
                const char* pszWho = bOn ? "on" : "off";
                std::printf("burst %s %d %.3f\n", pszWho, round, t1 - t0);
                std::printf("burst-held %s %d %zu\n", pszWho, round, nHeld);
                std::printf("burst-taken %s %d %zu\n", pszWho, round, counts.nTaken);
                std::printf("burst-decodes %s %d %zu\n", pszWho, round, counts.nDecodes);
                std::printf("burst-helped %s %d %zu\n", pszWho, round, counts.nHelped);
                std::printf("burst-memory %s %d %llu\n", pszWho, round, static_cast<unsigned long long>(PrivateBytes()));
            }
            CloseFrame(frame);
        }
    }
    ResetSettings();
    return 0;
}

// The window as the program opens a picture, and Next at once while read-ahead's worker is on
// the file after it: timed from the command to the end of its paint. The two folders take
// turns, which goes first alternating; round 0 is the warm-up.
int RunNonPicture(const std::wstring& small, const std::wstring& large, int runs)
{
    auto peak = [] {
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof(counters);
        ::K32GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters));
        return static_cast<unsigned long long>(counters.PeakWorkingSetSize);
    };
    for (int round = 0; round <= runs; ++round) {
        for (int k = 0; k < 2; ++k) {
            const bool bLarge = (k == 0) == (round % 2 == 0);
            theApp.m_strFile = (bLarge ? large : small) + L"a.jpg";
            auto* frame = new CMainFrame;
            theApp.m_pMainWnd = frame;
            if (!frame->LoadFrame(IDR_MAINFRAME, WS_POPUP, nullptr, nullptr))
                return 3;
            // The picture and the folder come on posted messages; the step follows at once.
            for (int i = 0; i < 400 && (!frame->m_pImage || frame->m_listFiles.empty()); ++i)
                Pump(5);
            if (!frame->m_pImage) {
                std::fputs("cannot open a.jpg\n", stderr);
                return 3;
            }
            frame->UpdateWindow();
            const unsigned long long nPeak = peak();
            const double t0 = bench::NowMs();
            frame->SendMessage(WM_COMMAND, MAKEWPARAM(ID_FILE_NEXT, 1), 0);
            frame->UpdateWindow();
            const double t1 = bench::NowMs();
            if (frame->m_strFileName != L"c.jpg")
                std::fputs("the step did not reach c.jpg\n", stderr);
            if (frame->m_pReadAhead)
                frame->m_pReadAhead->WaitUntilIdle();
            if (round > 0) {
                const char* pszWho = bLarge ? "large" : "small";
                std::printf("nonpicture %s %d %.3f\n", pszWho, round, t1 - t0);
                std::printf("nonpicture-peak %s %d %llu\n", pszWho, round, peak() - nPeak);
            }
            CloseFrame(frame);
        }
    }
    return 0;
}

}  // namespace

int main()
{
    const std::vector<std::wstring> args = bench::Arguments();
    ResetSettings();
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok)
        return 2;
    // The thread as the program's start leaves it: in its apartment, keeping an imaging factory.
    const bool bCom = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    if (bCom)
        KeepThreadDecoders();
    int rc = 2;
    if (args.size() == 4 && args[1] == L"next")
        rc = RunNext(bench::WithSlash(args[2]), bench::WithSlash(args[3]));
    else if (args.size() == 5 && args[1] == L"pan")
        rc = RunPan(args[2], _wtoi(args[3].c_str()), _wtoi(args[4].c_str()));
    else if (args.size() >= 4 && args[1] == L"rescan") {
        std::vector<std::wstring> folders;
        for (size_t i = 3; i < args.size(); ++i)
            folders.push_back(bench::WithSlash(args[i]));
        rc = RunRescan(folders, _wtoi(args[2].c_str()));
    } else if (args.size() == 4 && args[1] == L"dwell")
        rc = RunDwell(bench::WithSlash(args[2]), _wtoi(args[3].c_str()));
    else if (args.size() == 4 && args[1] == L"burst")
        rc = RunBurst(bench::WithSlash(args[2]), _wtoi(args[3].c_str()));
    else if (args.size() == 5 && args[1] == L"nonpicture")
        rc = RunNonPicture(bench::WithSlash(args[2]), bench::WithSlash(args[3]), _wtoi(args[4].c_str()));
    else
        std::fputs("usage: vistrel_bench_driver next WARMFOLDER FOLDER | pan PICTURE RUNS ZOOMIN | rescan RUNS FOLDER..."
                   " | dwell FOLDER PAIRS | burst FOLDER RUNS\n",
                   stderr);
    if (bCom) {
        ReleaseThreadDecoders();
        ::CoUninitialize();
    }
    Gdiplus::GdiplusShutdown(token);
    ResetSettings();
    return rc;
}
