// Soak driver: finds the running viewer's main window and sends it thousands of random user
// events (keys of the accelerator table, pan keys, the wheel with and without Shift, pointer
// moves, view, interpolation, rotate/flip and stepping commands), each handled before the next
// is sent. It samples the viewer's GDI and USER object counts and private bytes after the
// warm-up and at the end, in the same settled state, and fails when the process died, stopped
// answering, or grew by more than the tolerance.
//
//   vistrel_soak.exe --make-folder DIR        writes the mixed folder the soak walks through
//   vistrel_soak.exe [--events N] [--warmup N] [--checkpoint N] [--seed S] [--tolerance PCT] [--settle MS]
//
// Events are posted to the window's queue one at a time; a marker posted after each, seen
// leaving the queue by a hook in the viewer's thread (vistrel_soak_hook.dll), says when it
// has been handled, and round trips meanwhile tell a slow viewer from one that stopped
// answering. Measurements are taken in one settled state (first picture, actual size, default
// interpolation, no label) after the warm-up, every --checkpoint events, and at the end.
//
// Where the system can't count GUI objects of another process (GetGuiResources under Wine),
// GDI objects are counted in the process's own GDI handle table (PEB GdiSharedHandleTable,
// the layout Windows and Wine share) and USER objects as the process's windows. Where it gives
// no PrivateUsage (Wine), private bytes are the committed private regions of the address space
// (VirtualQueryEx), the same definition; the resident anonymous memory is reported beside it,
// but under Wine it also holds Wine's own Unix-side heap, which grows in one-time steps of about
// 1 MB with the sizes of the window surfaces. The report says which measure was used.
#include <windows.h>
#include <winternl.h>
#include <psapi.h>
#include <shellapi.h>

#include "framework/gdiplus_sdk.h"

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/reliability/damaged_pictures.h"
#include "tests/reliability/win_files.h"

namespace {

struct Options {
    std::wstring makeFolder;
    int nEvents = 10000;
    int nWarmup = 1000;
    unsigned nSeed = 20240601;
    double fTolerance = 0.05;
    int nCheckpoint = 0;  // settled samples this many events apart after the baseline; 0: none
    DWORD nSettleMs = 3500;
    DWORD nFindMs = 30000;
};

void Say(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::vfprintf(stdout, format, args);
    va_end(args);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// --- the mixed folder ----------------------------------------------------------------------

// A picture with a diagonal gradient and a grid, so that scaled drawing has work to do.
bool WriteGradient(const std::wstring& path, int cx, int cy, const wchar_t* mime)
{
    CLSID clsid;
    if (!reliability::FindEncoderClsid(mime, clsid))
        return false;
    Gdiplus::Bitmap bitmap(cx, cy, PixelFormat24bppRGB);
    {
        Gdiplus::Graphics g(&bitmap);
        Gdiplus::LinearGradientBrush brush(Gdiplus::Point(0, 0), Gdiplus::Point(cx, cy), Gdiplus::Color(255, 200, 40, 40),
                                           Gdiplus::Color(255, 40, 40, 220));
        g.FillRectangle(&brush, 0, 0, cx, cy);
        Gdiplus::Pen pen(Gdiplus::Color(255, 255, 255, 255), 1.0f);
        for (int x = 0; x < cx; x += 50)
            g.DrawLine(&pen, x, 0, x, cy);
        for (int y = 0; y < cy; y += 50)
            g.DrawLine(&pen, 0, y, cx, y);
    }
    return bitmap.Save(path.c_str(), &clsid, nullptr) == Gdiplus::Ok;
}

int MakeFolder(const std::wstring& folderIn)
{
    std::wstring folder = folderIn;
    if (folder.empty() || folder.back() != L'\\')
        folder += L'\\';
    ::CreateDirectoryW(folder.c_str(), nullptr);
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok)
        return 4;
    bool ok = WriteGradient(folder + L"00-first.png", 320, 240, L"image/png") &&
              WriteGradient(folder + L"01-wide.jpg", 2400, 600, L"image/jpeg") &&
              WriteGradient(folder + L"02-tall.png", 500, 1800, L"image/png") &&
              WriteGradient(folder + L"03-big.bmp", 1600, 1200, L"image/bmp") &&
              reliability::WriteBytes(folder + L"04-animated.gif", damaged::MakeGif(64, 48, 12, 12, 3)) &&
              WriteGradient(folder + L"05-small.tif", 64, 48, L"image/tiff") &&
              reliability::WriteBytes(folder + L"06-text.jpg", damaged::Bytes(40, 'x')) &&
              WriteGradient(folder + L"09-photo.jpg", 800, 600, L"image/jpeg") &&
              reliability::WriteBytes(folder + L"10-many-frames.gif", damaged::MakeGif(4, 4, 500, 500, 1)) &&
              WriteGradient(folder + L"11-square.png", 1000, 1000, L"image/png");
    // Damaged copies of a good picture: cut short, and with a header bomb.
    if (ok) {
        HANDLE h = ::CreateFileW((folder + L"00-first.png").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
        damaged::Bytes png(h != INVALID_HANDLE_VALUE ? ::GetFileSize(h, nullptr) : 0);
        DWORD read = 0;
        if (h != INVALID_HANDLE_VALUE) {
            ::ReadFile(h, png.data(), static_cast<DWORD>(png.size()), &read, nullptr);
            ::CloseHandle(h);
        }
        damaged::Bytes bomb = png;
        ok = read == png.size() && damaged::SetPngSize(bomb, 0x7FFFFFFF, 0x7FFFFFFF) &&
             reliability::WriteBytes(folder + L"07-cut.png", damaged::Bytes(png.begin(), png.begin() + png.size() / 2)) &&
             reliability::WriteBytes(folder + L"08-bomb.png", bomb);
    }
    Gdiplus::GdiplusShutdown(token);
    Say("folder %s", ok ? "written" : "could not be written");
    return ok ? 0 : 4;
}

// --- the viewer's process and its measures -------------------------------------------------

struct Target {
    HWND hWnd = nullptr;
    DWORD pid = 0;
    DWORD tid = 0;
    HANDLE hProcess = nullptr;
};

BOOL CALLBACK FindMain(HWND hWnd, LPARAM lParam)
{
    wchar_t title[512] = {};
    ::GetWindowTextW(hWnd, title, 512);
    const std::wstring text = title;
    const std::wstring suffix = L" - Vistrel";
    if (::IsWindowVisible(hWnd) && text.size() > suffix.size() &&
        text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0) {
        *reinterpret_cast<HWND*>(lParam) = hWnd;
        return FALSE;
    }
    return TRUE;
}

bool FindTarget(Target& t, DWORD nMs)
{
    const DWORD start = ::GetTickCount();
    do {
        HWND found = nullptr;
        ::EnumWindows(&FindMain, reinterpret_cast<LPARAM>(&found));
        if (found) {
            t.hWnd = found;
            t.tid = ::GetWindowThreadProcessId(found, &t.pid);
            t.hProcess = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | SYNCHRONIZE, FALSE, t.pid);
            return t.hProcess != nullptr;
        }
        ::Sleep(100);
    } while (::GetTickCount() - start < nMs);
    return false;
}

std::wstring Title(const Target& t)
{
    wchar_t title[512] = {};
    ::GetWindowTextW(t.hWnd, title, 512);
    return title;
}

bool Alive(const Target& t)
{
    return ::WaitForSingleObject(t.hProcess, 0) == WAIT_TIMEOUT;
}

// A round trip through the window's thread; the time it took, or -1 when it did not answer.
long RoundTrip(const Target& t, DWORD nTimeoutMs)
{
    const DWORD start = ::GetTickCount();
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(t.hWnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, nTimeoutMs, &result))
        return -1;
    return static_cast<long>(::GetTickCount() - start);
}

// The entry layout of the GDI handle table, as Windows and Wine both lay it out (24 bytes).
struct GdiCell {
    uint64_t object;
    uint16_t processId;
    uint16_t count;
    uint8_t extType;  // bit 7: stock object
    uint8_t generation;
    uint8_t type;
    uint8_t flags;
    uint64_t user;
};
static_assert(sizeof(GdiCell) == 24);

using QueryProcessFn = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);

// Live, non-stock GDI objects of the process, read from its handle table; -1 if unreadable.
// pByType, when given, gets the count for each object type (the table's 7-bit type).
long CountGdiFromTable(const Target& t, std::vector<long>* pByType = nullptr)
{
    static const auto query = reinterpret_cast<QueryProcessFn>(
        reinterpret_cast<void (*)()>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    if (!query)
        return -1;
    PROCESS_BASIC_INFORMATION info{};
    if (query(t.hProcess, 0, &info, sizeof(info), nullptr) != 0 || !info.PebBaseAddress)
        return -1;
    uint64_t table = 0;
    SIZE_T read = 0;
    const auto* peb = reinterpret_cast<const BYTE*>(info.PebBaseAddress);
    if (!::ReadProcessMemory(t.hProcess, peb + 0xF8, &table, sizeof(table), &read) || !table)
        return -1;
    static std::vector<GdiCell> cells(0x10000);
    if (!::ReadProcessMemory(t.hProcess, reinterpret_cast<const void*>(table), cells.data(),
                             cells.size() * sizeof(GdiCell), &read))
        return -1;
    long n = 0;
    const uint16_t pid = static_cast<uint16_t>(t.pid);
    for (size_t i = 0; i < read / sizeof(GdiCell); ++i) {
        const GdiCell& c = cells[i];
        if (c.type != 0 && !(c.extType & 0x80) && (c.processId == 0 || c.processId == pid)) {
            ++n;
            if (pByType) {
                pByType->resize(128);
                ++(*pByType)[c.extType & 0x7F];
            }
        }
    }
    return n;
}

struct WindowCount {
    DWORD pid;
    long n;
    std::string* pNames = nullptr;  // class and title of each top-level window, when given
};

BOOL CALLBACK CountChild(HWND, LPARAM lParam)
{
    ++reinterpret_cast<WindowCount*>(lParam)->n;
    return TRUE;
}

BOOL CALLBACK CountTop(HWND hWnd, LPARAM lParam)
{
    auto* c = reinterpret_cast<WindowCount*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hWnd, &pid);
    if (pid == c->pid) {
        ++c->n;
        if (c->pNames) {
            char cls[64] = {};
            char title[64] = {};
            ::GetClassNameA(hWnd, cls, 64);
            ::GetWindowTextA(hWnd, title, 64);
            *c->pNames += std::string(" [") + cls + " \"" + title + "\"" + (::IsWindowVisible(hWnd) ? "" : " hidden") + "]";
        }
        ::EnumChildWindows(hWnd, &CountChild, lParam);
    }
    return TRUE;
}

// Committed private memory of the process, summed over its address space: what Windows
// counts as private bytes, without the memory a compatibility layer keeps outside the
// process's own address-space bookkeeping (under Wine: its Unix-side heap).
uint64_t CommittedPrivate(const Target& t)
{
    uint64_t total = 0;
    MEMORY_BASIC_INFORMATION mbi{};
    const BYTE* address = nullptr;
    while (::VirtualQueryEx(t.hProcess, address, &mbi, sizeof(mbi)) == sizeof(mbi)) {
        if (mbi.State == MEM_COMMIT && mbi.Type == MEM_PRIVATE)
            total += mbi.RegionSize;
        const BYTE* next = static_cast<const BYTE*>(mbi.BaseAddress) + mbi.RegionSize;
        if (next <= address)
            break;
        address = next;
    }
    return total;
}

struct Measure {
    long nGdi = -1;
    long nUser = -1;
    uint64_t nPrivate = 0;
    uint64_t nResident = 0;  // PagefileUsage, for the report
    const char* gdiSource = "";
    const char* userSource = "";
    const char* privateSource = "";
};

Measure Sample(const Target& t)
{
    Measure m;
    ::SetLastError(0);
    DWORD v = ::GetGuiResources(t.hProcess, GR_GDIOBJECTS);
    if (v != 0 || ::GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) {
        m.nGdi = static_cast<long>(v);
        m.gdiSource = "GetGuiResources";
    } else {
        m.nGdi = CountGdiFromTable(t);
        m.gdiSource = "GDI handle table";
    }
    ::SetLastError(0);
    v = ::GetGuiResources(t.hProcess, GR_USEROBJECTS);
    if (v != 0 || ::GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) {
        m.nUser = static_cast<long>(v);
        m.userSource = "GetGuiResources";
    } else {
        WindowCount c{t.pid, 0};
        ::EnumWindows(&CountTop, reinterpret_cast<LPARAM>(&c));
        m.nUser = c.n;
        m.userSource = "windows of the process";
    }
    PROCESS_MEMORY_COUNTERS_EX pmc{};
    pmc.cb = sizeof(pmc);
    if (::GetProcessMemoryInfo(t.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof(pmc)))
        m.nResident = pmc.PagefileUsage;
    if (pmc.PrivateUsage) {
        m.nPrivate = pmc.PrivateUsage;
        m.privateSource = "PrivateUsage";
    } else {
        m.nPrivate = CommittedPrivate(t);
        m.privateSource = "committed private regions (VirtualQueryEx)";
    }
    return m;
}

// --- events --------------------------------------------------------------------------------

// Modifier keys held for the next event: the window's thread reads them with GetKeyState, so
// they are set in the input state it shares with this thread while attached.
class Modifiers {
public:
    explicit Modifiers(const Target& t) : m_t(t)
    {
        m_bAttached = ::AttachThreadInput(::GetCurrentThreadId(), t.tid, TRUE) != FALSE;
    }
    ~Modifiers()
    {
        Set(0, false);
        if (m_bAttached)
            ::AttachThreadInput(::GetCurrentThreadId(), m_t.tid, FALSE);
    }
    bool Usable() const { return m_bAttached; }
    void Set(UINT vk, bool bDown)
    {
        BYTE keys[256] = {};
        ::GetKeyboardState(keys);
        for (UINT k : {VK_SHIFT, VK_LSHIFT, VK_CONTROL, VK_LCONTROL, VK_MENU, VK_LMENU})
            keys[k] = 0;
        if (bDown && vk) {
            keys[vk] = 0x80;
            if (vk == VK_SHIFT)
                keys[VK_LSHIFT] = 0x80;
            if (vk == VK_CONTROL)
                keys[VK_LCONTROL] = 0x80;
            if (vk == VK_MENU)
                keys[VK_LMENU] = 0x80;
        }
        ::SetKeyboardState(keys);
    }

private:
    const Target& m_t;
    bool m_bAttached = false;
};

enum class Kind { Key, Wheel, Command, Pointer };

struct Event {
    const char* name;
    Kind kind;
    UINT code;       // virtual key, wheel delta or command id
    UINT modifier;   // VK_SHIFT, VK_CONTROL, VK_MENU or 0
    int weight;
};

// Esc and Ctrl+O are left out: one ends the program, the other waits in a modal dialog.
const Event kEvents[] = {
    {"Space", Kind::Key, VK_SPACE, 0, 40},
    {"Backspace", Kind::Key, VK_BACK, 0, 30},
    {"Home", Kind::Key, VK_HOME, 0, 6},
    {"End", Kind::Key, VK_END, 0, 6},
    {"Enter", Kind::Key, VK_RETURN, 0, 10},
    {"Num+", Kind::Key, VK_ADD, 0, 14},
    {"Num-", Kind::Key, VK_SUBTRACT, 0, 14},
    {"Delete", Kind::Key, VK_DELETE, 0, 3},
    {"F6", Kind::Key, VK_F6, 0, 2},
    {"Shift+F6", Kind::Key, VK_F6, VK_SHIFT, 1},
    {"Ctrl+C", Kind::Key, 'C', VK_CONTROL, 1},
    {"Ctrl+Insert", Kind::Key, VK_INSERT, VK_CONTROL, 1},
    {"Ctrl+X", Kind::Key, 'X', VK_CONTROL, 1},
    {"Ctrl+V", Kind::Key, 'V', VK_CONTROL, 1},
    {"Shift+Insert", Kind::Key, VK_INSERT, VK_SHIFT, 1},
    {"Ctrl+Z", Kind::Key, 'Z', VK_CONTROL, 1},
    {"Alt+Backspace", Kind::Key, VK_BACK, VK_MENU, 1},
    {"Left", Kind::Key, VK_LEFT, 0, 10},
    {"Right", Kind::Key, VK_RIGHT, 0, 10},
    {"Up", Kind::Key, VK_UP, 0, 10},
    {"Down", Kind::Key, VK_DOWN, 0, 10},
    {"PageUp", Kind::Key, VK_PRIOR, 0, 6},
    {"PageDown", Kind::Key, VK_NEXT, 0, 6},
    {"Wheel up", Kind::Wheel, static_cast<UINT>(WHEEL_DELTA), 0, 12},
    {"Wheel down", Kind::Wheel, static_cast<UINT>(-WHEEL_DELTA), 0, 12},
    {"Wheel half notch", Kind::Wheel, static_cast<UINT>(WHEEL_DELTA / 2), 0, 4},
    {"Shift+Wheel up", Kind::Wheel, static_cast<UINT>(WHEEL_DELTA), VK_SHIFT, 8},
    {"Shift+Wheel down", Kind::Wheel, static_cast<UINT>(-WHEEL_DELTA), VK_SHIFT, 8},
    {"Zoom in", Kind::Command, ID_VIEW_ZOOM_IN, 0, 4},
    {"Zoom out", Kind::Command, ID_VIEW_ZOOM_OUT, 0, 4},
    {"Actual size", Kind::Command, ID_VIEW_ACTUAL_SIZE, 0, 4},
    {"Screen size", Kind::Command, ID_VIEW_SCREEN_SIZE, 0, 4},
    {"Best fit", Kind::Command, ID_VIEW_BEST_FIT, 0, 3},
    {"Fit window", Kind::Command, ID_VIEW_FIT_WINDOW, 0, 3},
    {"Default", Kind::Command, ID_INTERP_DEFAULT, 0, 1},
    {"Nearest", Kind::Command, ID_INTERP_NEAREST, 0, 1},
    {"Bilinear", Kind::Command, ID_INTERP_BILINEAR, 0, 1},
    {"HQ bilinear", Kind::Command, ID_INTERP_HQ_BILINEAR, 0, 1},
    {"Bicubic", Kind::Command, ID_INTERP_BICUBIC, 0, 1},
    {"HQ bicubic", Kind::Command, ID_INTERP_HQ_BICUBIC, 0, 1},
    {"Flip horizontal", Kind::Command, ID_EDIT_FLIP_HORIZONTAL, 0, 4},
    {"Flip vertical", Kind::Command, ID_EDIT_FLIP_VERTICAL, 0, 4},
    {"Rotate clockwise", Kind::Command, ID_EDIT_ROTATE_CW, 0, 5},
    {"Rotate counter-clockwise", Kind::Command, ID_EDIT_ROTATE_CCW, 0, 5},
    {"Next", Kind::Command, ID_FILE_NEXT, 0, 6},
    {"Previous", Kind::Command, ID_FILE_PREV, 0, 6},
    {"First", Kind::Command, ID_FILE_FIRST, 0, 2},
    {"Last", Kind::Command, ID_FILE_LAST, 0, 2},
    // Over the window's edges, corners and middle: sizing, pan and arrow cursors (never a click).
    {"Pointer move", Kind::Pointer, 0, 0, 6},
};

LPARAM KeyData(UINT vk, bool bUp)
{
    const UINT scan = ::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
    LPARAM l = 1 | (static_cast<LPARAM>(scan & 0xFF) << 16);
    if (bUp)
        l |= static_cast<LPARAM>(0xC0000000u);
    return l;
}

// A point of the window's rectangle: fx, fy from 0 (left, top) to 1 (right, bottom), kept
// one pixel inside.
POINT WindowPoint(const Target& t, double fx, double fy)
{
    RECT rc{};
    ::GetWindowRect(t.hWnd, &rc);
    const LONG w = std::max<LONG>(rc.right - rc.left - 2, 0);
    const LONG h = std::max<LONG>(rc.bottom - rc.top - 2, 0);
    return {rc.left + 1 + static_cast<LONG>(fx * w), rc.top + 1 + static_cast<LONG>(fy * h)};
}

// Sends one event into the window's queue, as the system would deliver it.
bool Post(const Target& t, Modifiers& mods, const Event& e, std::mt19937& random)
{
    bool ok = true;
    if (e.modifier)
        mods.Set(e.modifier, true);
    switch (e.kind) {
    case Kind::Key: {
        const UINT down = e.modifier == VK_MENU ? WM_SYSKEYDOWN : WM_KEYDOWN;
        const UINT up = e.modifier == VK_MENU ? WM_SYSKEYUP : WM_KEYUP;
        ok = ::PostMessageW(t.hWnd, down, e.code, KeyData(e.code, false)) &&
             ::PostMessageW(t.hWnd, up, e.code, KeyData(e.code, true));
        break;
    }
    case Kind::Wheel: {
        RECT rc{};
        ::GetWindowRect(t.hWnd, &rc);
        const WPARAM w = MAKEWPARAM(e.modifier == VK_SHIFT ? MK_SHIFT : 0, static_cast<WORD>(static_cast<short>(e.code)));
        ok = ::PostMessageW(t.hWnd, WM_MOUSEWHEEL, w, MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2));
        break;
    }
    case Kind::Command:
        ok = ::PostMessageW(t.hWnd, WM_COMMAND, MAKEWPARAM(e.code, 0), 0);
        break;
    case Kind::Pointer: {
        std::uniform_real_distribution<double> where(-0.05, 1.05);
        const POINT pt = WindowPoint(t, std::clamp(where(random), 0.0, 1.0), std::clamp(where(random), 0.0, 1.0));
        ::SetCursorPos(pt.x, pt.y);
        break;
    }
    }
    return ok;
}

// --- the run -------------------------------------------------------------------------------

struct Totals {
    long nSlowest = 0;
    int nHangs = 0;
    int nLost = 0;  // events the window's queue refused
    bool bDied = false;
};

constexpr UINT kMarker = WM_APP + 0x5A;  // as in soak_hook.cpp

// The viewer's queue, watched through the WH_GETMESSAGE hook of vistrel_soak_hook.dll (next to
// this program): a marker posted after an event comes out of the queue only once everything
// posted before it has been handled. A round trip alone can't tell: the viewer answers sent
// messages whenever it looks at its queue, also while it still has posted ones waiting.
class QueueWatch {
public:
    ~QueueWatch()
    {
        if (m_hHook)
            ::UnhookWindowsHookEx(m_hHook);
        if (m_pSeen)
            ::UnmapViewOfFile(const_cast<LONG*>(m_pSeen));
        if (m_hMapping)
            ::CloseHandle(m_hMapping);
    }

    bool Install(const Target& t)
    {
        m_hMapping = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(LONG),
                                          L"Local\\VistrelSoakMarker");
        if (!m_hMapping)
            return false;
        m_pSeen = static_cast<volatile LONG*>(::MapViewOfFile(m_hMapping, FILE_MAP_WRITE, 0, 0, sizeof(LONG)));
        wchar_t path[MAX_PATH] = {};
        const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring dll(path, n);
        dll = dll.substr(0, dll.find_last_of(L'\\') + 1) + L"vistrel_soak_hook.dll";
        const HMODULE hDll = ::LoadLibraryW(dll.c_str());
        const auto proc = hDll ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void (*)()>(
                                     ::GetProcAddress(hDll, "SoakGetMessageHook")))
                               : nullptr;
        if (!m_pSeen || !proc)
            return false;
        m_hHook = ::SetWindowsHookExW(WH_GETMESSAGE, proc, hDll, t.tid);
        return m_hHook != nullptr;
    }

    bool Active() const { return m_hHook != nullptr; }
    LONG Seen() const { return m_pSeen ? *m_pSeen : 0; }
    LONG Next() { return ++m_nMarker; }

private:
    HANDLE m_hMapping = nullptr;
    volatile LONG* m_pSeen = nullptr;
    HHOOK m_hHook = nullptr;
    LONG m_nMarker = 0;
};

// Waits until the viewer has handled everything posted so far, making round trips meanwhile
// (which also tell a slow viewer from one that stopped answering). False when it stopped:
// no answer for half a minute. Without the hook, a few round trips stand in for the marker.
bool Settle(const Target& t, QueueWatch& watch, Totals& totals)
{
    const DWORD start = ::GetTickCount();
    const LONG marker = watch.Active() ? watch.Next() : 0;
    if (watch.Active() && !::PostMessageW(t.hWnd, kMarker, static_cast<WPARAM>(marker), 0))
        ++totals.nLost;
    bool bSlow = false;
    for (int trips = 0;; ++trips) {
        if (watch.Active() ? watch.Seen() == marker : trips >= 6)
            break;
        if (RoundTrip(t, 5000) < 0 && RoundTrip(t, 25000) < 0)
            return false;
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed > 5000 && !bSlow) {
            bSlow = true;
            ++totals.nHangs;
        }
        if (elapsed > 30000)
            return false;
        if (trips > 20)
            ::Sleep(1);
    }
    totals.nSlowest = std::max(totals.nSlowest, static_cast<long>(::GetTickCount() - start));
    return true;
}

struct TagSearch {
    DWORD pid;
    bool bFound;
};

BOOL CALLBACK FindTag(HWND hWnd, LPARAM lParam)
{
    auto* s = reinterpret_cast<TagSearch*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hWnd, &pid);
    wchar_t title[32] = {};
    ::GetWindowTextW(hWnd, title, 32);
    if (pid == s->pid && std::wstring(title) == L"KovV_TagWnd") {
        s->bFound = true;
        return FALSE;
    }
    return TRUE;
}

// Whether the viewer's label window (3 s of life after its latest text) is still there.
bool TagShown(const Target& t)
{
    TagSearch s{t.pid, false};
    ::EnumWindows(&FindTag, reinterpret_cast<LPARAM>(&s));
    return s.bFound;
}

// The same state before each measurement: the first picture loaded afresh (so unturned) at
// its own size, default interpolation, and the label gone (it lives 3 s).
Measure SettledSample(const Target& t, QueueWatch& watch, Totals& totals, DWORD nSettleMs)
{
    // Screen size first: actual size alone would toggle to screen size when already there.
    for (UINT id : {ID_FILE_LAST, ID_FILE_FIRST, ID_INTERP_DEFAULT, ID_VIEW_SCREEN_SIZE, ID_VIEW_ACTUAL_SIZE}) {
        ::PostMessageW(t.hWnd, WM_COMMAND, MAKEWPARAM(id, 0), 0);
        Settle(t, watch, totals);
    }
    ::Sleep(nSettleMs);
    // On a busy machine the label's timer may come late: give it a while longer.
    for (int i = 0; i < 100 && TagShown(t); ++i)
        ::Sleep(100);
    Settle(t, watch, totals);
    return Sample(t);
}

// Caches that fill once and stay are filled before the baseline, so that they don't read as
// growth: every picture of the folder is shown, turned and fitted once (decoders); every word
// of the label is shown (the first text in a linked font loads that font); a picture larger
// than the window is panned by the keys and repainted in strips and blocks of many sizes at
// two zooms (scaled drawing takes buffers of the painted area's size from the heap, which
// keeps its highest level); and the pointer goes over every edge, corner and the middle of
// that window (the system's cursors: each shape loads its bitmaps for good).
void Prewarm(const Target& t, QueueWatch& watch, Totals& totals)
{
    auto command = [&](UINT id) {
        ::PostMessageW(t.hWnd, WM_COMMAND, MAKEWPARAM(id, 0), 0);
        Settle(t, watch, totals);
    };
    auto paint = [&](const RECT* rc) {
        ::RedrawWindow(t.hWnd, rc, nullptr, RDW_INVALIDATE);
        Settle(t, watch, totals);
        ::Sleep(20);
        Settle(t, watch, totals);
    };
    const std::wstring start = Title(t);
    for (int n = 0; n < 64; ++n) {
        for (UINT id : {ID_EDIT_ROTATE_CW, ID_EDIT_FLIP_VERTICAL, ID_VIEW_SCREEN_SIZE, ID_INTERP_HQ_BICUBIC,
                        ID_VIEW_ZOOM_IN, ID_INTERP_DEFAULT, ID_VIEW_ACTUAL_SIZE})
            command(id);
        paint(nullptr);
        command(ID_FILE_NEXT);
        if (Title(t) == start)
            break;
    }
    for (UINT id : {ID_VIEW_ZOOM_IN, ID_VIEW_ZOOM_OUT, ID_VIEW_ACTUAL_SIZE, ID_VIEW_SCREEN_SIZE, ID_VIEW_BEST_FIT,
                    ID_VIEW_FIT_WINDOW, ID_EDIT_ROTATE_CW, ID_EDIT_FLIP_HORIZONTAL, ID_FILE_LAST, ID_FILE_NEXT,
                    ID_FILE_PREV, ID_VIEW_ACTUAL_SIZE}) {
        command(id);
        ::Sleep(150);
        Settle(t, watch, totals);
    }
    for (int zoomIns : {30, 8}) {
        for (int i = 0; i < zoomIns; ++i)
            command(ID_VIEW_ZOOM_IN);
        paint(nullptr);
        for (UINT vk : {VK_RIGHT, VK_DOWN, VK_LEFT, VK_UP, VK_NEXT, VK_PRIOR}) {
            for (int i = 0; i < 3; ++i) {
                ::PostMessageW(t.hWnd, WM_KEYDOWN, vk, KeyData(vk, false));
                ::PostMessageW(t.hWnd, WM_KEYUP, vk, KeyData(vk, true));
                ::Sleep(20);
                Settle(t, watch, totals);
            }
        }
        for (const SIZE& size : {SIZE{60, 1024}, SIZE{1280, 60}, SIZE{200, 400}, SIZE{350, 350}, SIZE{500, 250},
                                 SIZE{640, 190}, SIZE{120, 1000}}) {
            RECT rc{0, 0, size.cx, size.cy};
            paint(&rc);
        }
    }
    for (double fy : {0.0, 0.5, 1.0}) {
        for (double fx : {0.0, 0.5, 1.0}) {
            const POINT pt = WindowPoint(t, fx, fy);
            ::SetCursorPos(pt.x, pt.y);
            ::Sleep(30);
            Settle(t, watch, totals);
        }
    }
}

void Print(const char* what, int nEvents, const Measure& m, const Target& t)
{
    std::string types;
    std::vector<long> byType;
    if (CountGdiFromTable(t, &byType) >= 0) {
        static const struct {
            int type;
            const char* name;
        } kNames[] = {{0x01, "DC"},     {0x41, "memory DC"}, {0x04, "region"}, {0x08, "palette"}, {0x09, "bitmap"},
                      {0x0A, "font"},   {0x10, "brush"},     {0x30, "pen"},    {0x50, "pen"},     {0x21, "metafile DC"}};
        for (const auto& k : kNames) {
            if (static_cast<size_t>(k.type) < byType.size() && byType[k.type])
                types += std::string(" ") + k.name + " " + std::to_string(byType[k.type]);
        }
    }
    std::string windows;
    WindowCount c{t.pid, 0, &windows};
    ::EnumWindows(&CountTop, reinterpret_cast<LPARAM>(&c));
    GUITHREADINFO gui{};
    gui.cbSize = sizeof(gui);
    ::GetGUIThreadInfo(t.tid, &gui);
    Say("%-10s after %6d events: GDI %5ld  USER %4ld  private %8.1f MB  (resident anonymous %.1f MB; table:%s; "
        "windows:%s; thread flags 0x%lx%s)",
        what, nEvents, m.nGdi, m.nUser, static_cast<double>(m.nPrivate) / (1024.0 * 1024.0),
        static_cast<double>(m.nResident) / (1024.0 * 1024.0), types.c_str(), windows.c_str(), gui.flags,
        ::IsWindowEnabled(t.hWnd) ? "" : ", window disabled");
}

bool Within(double baseline, double value, double tolerance)
{
    return value <= baseline * (1.0 + tolerance);
}

int Soak(const Options& o)
{
    Target t;
    if (!FindTarget(t, o.nFindMs)) {
        Say("SOAK ERROR no viewer window (a title ending in \" - Vistrel\") found");
        return 4;
    }
    Say("viewer: process %lu, window %p; %d events, warm-up %d, seed %u; growth allowed: %.0f %%", t.pid,
        static_cast<void*>(t.hWnd), o.nEvents, o.nWarmup, o.nSeed, o.fTolerance * 100.0);
    QueueWatch watch;
    if (!watch.Install(t))
        Say("note: no hook in the viewer's thread; round trips stand in for the queue marker");
    Modifiers mods(t);
    if (!mods.Usable())
        Say("note: input state can't be shared with the viewer; modifier events go without modifiers");

    std::mt19937 random(o.nSeed);
    std::vector<int> weights;
    for (const Event& e : kEvents)
        weights.push_back(e.weight);
    std::discrete_distribution<size_t> pick(weights.begin(), weights.end());
    std::vector<int> counts(std::size(kEvents), 0);

    Totals totals;
    Measure baseline;
    std::wstring baselineTitle;
    Measure peak;
    bool bStopped = false;
    int nSent = 0;
    for (; nSent < o.nEvents; ++nSent) {
        if (nSent == o.nWarmup) {
            Prewarm(t, watch, totals);
            baseline = SettledSample(t, watch, totals, o.nSettleMs);
            baselineTitle = Title(t);
            Print("baseline", nSent, baseline, t);
            Say("measures: GDI by %s, USER by %s, private bytes by %s", baseline.gdiSource, baseline.userSource,
                baseline.privateSource);
        }
        const size_t i = pick(random);
        ++counts[i];
        if (!Post(t, mods, kEvents[i], random))
            ++totals.nLost;
        const bool bAnswered = Settle(t, watch, totals);
        if (kEvents[i].modifier)
            mods.Set(0, false);
        if (!Alive(t)) {
            totals.bDied = true;
            bStopped = true;
            Say("SOAK the viewer died after event %d (%s)", nSent + 1, kEvents[i].name);
            break;
        }
        if (!bAnswered) {
            bStopped = true;
            Say("SOAK the viewer stopped answering after event %d (%s)", nSent + 1, kEvents[i].name);
            break;
        }
        // Settled checkpoints between the baseline and the end show the trend.
        if (nSent + 1 > o.nWarmup && nSent + 1 < o.nEvents && (nSent + 1 - o.nWarmup) % o.nCheckpoint == 0) {
            const Measure m = SettledSample(t, watch, totals, o.nSettleMs);
            peak.nGdi = std::max(peak.nGdi, m.nGdi);
            peak.nUser = std::max(peak.nUser, m.nUser);
            peak.nPrivate = std::max(peak.nPrivate, m.nPrivate);
            Print("checkpoint", nSent + 1, m, t);
        }
    }

    DWORD exitCode = 0;
    if (bStopped) {
        if (!Alive(t))
            ::GetExitCodeProcess(t.hProcess, &exitCode);
        Say("SOAK RESULT=FAIL events=%d crashes=%d hangs=%d exit=0x%lx", nSent, totals.bDied ? 1 : 0,
            totals.bDied ? 0 : 1, exitCode);
        return totals.bDied ? 2 : 3;
    }
    const Measure final = SettledSample(t, watch, totals, o.nSettleMs);
    const std::wstring finalTitle = Title(t);
    Print("final", nSent, final, t);
    Say("events sent:");
    for (size_t i = 0; i < std::size(kEvents); ++i)
        Say("  %-26s %6d", kEvents[i].name, counts[i]);
    Say("slowest event %ld ms; events slower than 5 s: %d; posts the queue refused: %d", totals.nSlowest,
        totals.nHangs, totals.nLost);
    // Both measurements must see the same settled state, or the comparison means nothing.
    const bool sameState = finalTitle == baselineTitle && totals.nLost == 0;
    if (!sameState)
        Say("SOAK the settled states differ (\"%ls\" then \"%ls\") or events were lost: the driver is at fault",
            baselineTitle.c_str(), finalTitle.c_str());

    const bool gdiOk = baseline.nGdi >= 0 && Within(baseline.nGdi, final.nGdi, o.fTolerance);
    const bool userOk = baseline.nUser >= 0 && Within(baseline.nUser, final.nUser, o.fTolerance);
    const bool privateOk = baseline.nPrivate > 0 && Within(static_cast<double>(baseline.nPrivate),
                                                           static_cast<double>(final.nPrivate), o.fTolerance);
    const bool alive = Alive(t) && RoundTrip(t, 5000) >= 0;
    const bool pass = gdiOk && userOk && privateOk && alive && sameState;
    if (peak.nGdi >= 0)
        Say("highest at the checkpoints: GDI %ld, USER %ld, private %.1f MB", peak.nGdi, peak.nUser,
            static_cast<double>(peak.nPrivate) / (1024.0 * 1024.0));
    Say("SOAK RESULT=%s events=%d crashes=0 hangs=%d alive=%s gdi=%ld->%ld%s user=%ld->%ld%s "
        "private_kb=%llu->%llu%s",
        pass ? "PASS" : "FAIL", nSent, totals.nHangs, alive ? "yes" : "no", baseline.nGdi, final.nGdi,
        gdiOk ? "" : "(LEAK)", baseline.nUser, final.nUser, userOk ? "" : "(LEAK)",
        static_cast<unsigned long long>(baseline.nPrivate / 1024), static_cast<unsigned long long>(final.nPrivate / 1024),
        privateOk ? "" : "(LEAK)");
    ::CloseHandle(t.hProcess);
    return pass ? 0 : 1;
}

bool ParseArgs(int argc, wchar_t** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        const std::wstring a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == L"--make-folder" && hasValue)
            o.makeFolder = argv[++i];
        else if (a == L"--events" && hasValue)
            o.nEvents = _wtoi(argv[++i]);
        else if (a == L"--warmup" && hasValue)
            o.nWarmup = _wtoi(argv[++i]);
        else if (a == L"--seed" && hasValue)
            o.nSeed = static_cast<unsigned>(_wtoi64(argv[++i]));
        else if (a == L"--tolerance" && hasValue)
            o.fTolerance = _wtof(argv[++i]) / 100.0;
        else if (a == L"--checkpoint" && hasValue)
            o.nCheckpoint = _wtoi(argv[++i]);
        else if (a == L"--settle" && hasValue)
            o.nSettleMs = static_cast<DWORD>(_wtoi(argv[++i]));
        else
            return false;
    }
    if (o.nCheckpoint <= 0)
        o.nCheckpoint = o.nEvents;
    return o.nEvents > 0 && o.nWarmup >= 0 && o.nWarmup < o.nEvents;
}

}  // namespace

int main()
{
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    Options o;
    if (!argv || !ParseArgs(argc, argv, o)) {
        Say("usage: vistrel_soak [--make-folder DIR] | [--events N] [--warmup N] [--checkpoint N] [--seed S] "
            "[--tolerance PCT] [--settle MS]");
        return 4;
    }
    if (!o.makeFolder.empty())
        return MakeFolder(o.makeFolder);
    return Soak(o);
}
