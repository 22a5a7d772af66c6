#include "images/decode/file_in_memory.h"

#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <limits>

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
    if (m_pData)
        ::GlobalUnlock(static_cast<HGLOBAL>(m_hMemory));
    if (m_pStream)
        m_pStream->Release();
}

// The memory is a movable HGLOBAL handed to the stream, so the decoder reads these very
// bytes and no second copy is made.
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
    HGLOBAL hMemory = ::GlobalAlloc(GMEM_MOVEABLE, std::max<size_t>(nSize, 1));
    void* pBuffer = hMemory ? ::GlobalLock(hMemory) : nullptr;
    if (!pBuffer) {
        if (hMemory)
            ::GlobalFree(hMemory);
        ::CloseHandle(hFile);
        return FileRead::NoMemory;
    }
    size_t nRead = 0;
    const bool bRead = ReadAll(hFile, static_cast<uint8_t*>(pBuffer), nSize, nRead);
    ::CloseHandle(hFile);
    ::GlobalUnlock(hMemory);
    if (!bRead) {
        ::GlobalFree(hMemory);
        return FileRead::Unreadable;
    }
    if (FAILED(::CreateStreamOnHGlobal(hMemory, TRUE, &m_pStream))) {
        m_pStream = nullptr;
        ::GlobalFree(hMemory);
        return FileRead::NoMemory;
    }
    // The stream starts as long as the block, which may be longer than what was read.
    ULARGE_INTEGER nLength{};
    nLength.QuadPart = nRead;
    if (FAILED(m_pStream->SetSize(nLength)))
        return FileRead::NoMemory;
    m_hMemory = hMemory;
    m_pData = static_cast<const uint8_t*>(::GlobalLock(hMemory));
    m_nSize = m_pData ? nRead : 0;
    return FileRead::Read;
}
