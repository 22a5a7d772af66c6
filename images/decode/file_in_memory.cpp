#include "images/decode/file_in_memory.h"

#include <windows.h>
#include <objidl.h>

#include <algorithm>
#include <limits>

#include "images/decode/memory_stream.h"

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD kChunk = 1u << 30;

// Reads up to nSize bytes; false on a read error. A file that shrank meanwhile gives less.
bool ReadAll(HANDLE hFile, uint8_t* pBuffer, size_t nSize, size_t& nRead)
{
    nRead = 0;
    while (nRead < nSize) {
        DWORD nGot = 0;
        const DWORD nWant = static_cast<DWORD>(std::min<size_t>(nSize - nRead, kChunk));
        if (!::ReadFile(hFile, pBuffer + nRead, nWant, &nGot, nullptr))
            return false;
        if (nGot == 0)
            break;
        nRead += nGot;
    }
    return true;
}

}  // namespace

FileInMemory::~FileInMemory()
{
    if (m_pStream)
        m_pStream->Release();
}

// The bytes belong to the stream, so the decoder reads these very bytes and no second copy
// is made; an animated picture's decoder keeps them with its reference.
FileRead FileInMemory::Read(const std::wstring& strPath)
{
    HANDLE hFile = ::CreateFileW(strPath.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return FileRead::Unreadable;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(hFile, &size)) {
        ::CloseHandle(hFile);
        return FileRead::Unreadable;
    }
    if (static_cast<uint64_t>(size.QuadPart) >= std::numeric_limits<size_t>::max()) {
        ::CloseHandle(hFile);
        return FileRead::NoMemory;
    }
    const size_t nSize = static_cast<size_t>(size.QuadPart);
    uint8_t* pData = nullptr;
    IStream* pStream = CreateMemoryStream(nSize, &pData);
    if (!pStream) {
        ::CloseHandle(hFile);
        return FileRead::NoMemory;
    }
    size_t nRead = 0;
    const bool bRead = ReadAll(hFile, pData, nSize, nRead);
    ::CloseHandle(hFile);
    ULARGE_INTEGER nLength{};
    nLength.QuadPart = nRead;
    if (!bRead || FAILED(pStream->SetSize(nLength))) {
        pStream->Release();
        return FileRead::Unreadable;
    }
    m_pStream = pStream;
    m_pData = pData;
    m_nSize = nRead;
    return FileRead::Read;
}
