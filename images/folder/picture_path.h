#pragma once
// The picture path given on the command line, made fit for opening by path.
#include <string_view>

#include "framework/afx_string.h"

// True for "X:\..." and "\\server\..." (and "\\?\...") written with backslashes only: the
// form the shell passes, which is kept exactly as it is.
inline bool IsFullBackslashPath(std::wstring_view path)
{
    if (path.starts_with(L"\\\\?\\"))
        return true;
    if (path.find(L'/') != std::wstring_view::npos)
        return false;
    if (path.starts_with(L"\\\\"))
        return true;
    if (path.size() < 3 || path[1] != L':' || path[2] != L'\\')
        return false;
    const wchar_t drive = path[0];
    return (drive >= L'A' && drive <= L'Z') || (drive >= L'a' && drive <= L'z');
}

// A relative path, or one written with forward slashes, as the full path it names from the
// current folder; a full backslash path, or one the system can't resolve, unchanged.
CStringW FullPicturePath(const CStringW& strPath);
