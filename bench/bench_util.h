#pragma once
// Shared by the benchmark programs: a millisecond clock, wide arguments, one result per line.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace bench {

inline double NowMs()
{
    static const double s_msPerTick = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return 1000.0 / static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * s_msPerTick;
}

inline std::vector<std::wstring> Arguments()
{
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    std::vector<std::wstring> args(argv, argv + argc);
    ::LocalFree(argv);
    return args;
}

inline std::string Narrow(const std::wstring& s)
{
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, s.c_str(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, s.c_str(), static_cast<int>(s.size()), out.data(), n, nullptr, nullptr);
    return out;
}

// Folder entries that are files, in the order the file system gives them.
inline std::vector<std::wstring> ListFiles(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW((folder + L"*.*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.emplace_back(fd.cFileName);
    } while (::FindNextFileW(h, &fd));
    ::FindClose(h);
    return names;
}

// One result: "<what> <label> <milliseconds>", read by scripts/bench.
inline void Report(const char* what, const std::string& label, double ms)
{
    std::printf("%s %s %.3f\n", what, label.c_str(), ms);
    std::fflush(stdout);
}

inline std::wstring WithSlash(std::wstring folder)
{
    if (!folder.empty() && folder.back() != L'\\')
        folder.push_back(L'\\');
    return folder;
}

}  // namespace bench
