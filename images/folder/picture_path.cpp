#include "images/folder/picture_path.h"

#include <windows.h>

CStringW FullPicturePath(const CStringW& strPath)
{
    if (strPath.empty() || IsFullBackslashPath(strPath))
        return strPath;
    // The first call gives the size with the terminator; the path may grow between the calls
    // only if the current folder changes, which nothing does here.
    const DWORD nNeeded = ::GetFullPathNameW(strPath.c_str(), 0, nullptr, nullptr);
    if (nNeeded == 0)
        return strPath;
    CStringW strFull(nNeeded, L'\0');
    const DWORD nLength = ::GetFullPathNameW(strPath.c_str(), nNeeded, strFull.data(), nullptr);
    if (nLength == 0 || nLength >= nNeeded)
        return strPath;
    strFull.resize(nLength);
    return strFull;
}
