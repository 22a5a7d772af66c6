#pragma once
// Files for the test programs: raw bytes to and from a file, and the GDI+ encoder of a MIME
// type for writing seed pictures. Shared by the Windows tests and the standalone soak driver.
#include <windows.h>

#include "framework/gdiplus_sdk.h"

#include <cwchar>
#include <string>
#include <vector>

#include "tests/reliability/damaged_pictures.h"

namespace reliability {

inline bool WriteBytes(const std::wstring& path, const damaged::Bytes& bytes)
{
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = bytes.empty() || ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(h);
    return ok && written == bytes.size();
}

inline damaged::Bytes ReadBytes(const std::wstring& path)
{
    damaged::Bytes bytes;
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return bytes;
    bytes.resize(::GetFileSize(h, nullptr));
    DWORD read = 0;
    if (!bytes.empty() && !::ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        read = 0;
    bytes.resize(read);
    ::CloseHandle(h);
    return bytes;
}

// The encoder's class id for the MIME type ("image/png"), false when GDI+ has none.
inline bool FindEncoderClsid(const wchar_t* mime, CLSID& clsid)
{
    UINT count = 0, size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0)
        return false;
    std::vector<BYTE> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, size, codecs) != Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < count; ++i) {
        if (std::wcscmp(codecs[i].MimeType, mime) == 0) {
            clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

}  // namespace reliability
