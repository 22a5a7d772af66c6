#include "images/decode/file_in_memory.h"

#include <windows.h>
#include <objidl.h>

#include <algorithm>
#include <memory>

#include "images/decode/memory_stream.h"
#include "images/decode/picture_signature.h"

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// Small enough that a stop is seen within milliseconds, large enough to cost nothing.
constexpr DWORD kChunk = 8u << 20;

thread_local const std::atomic<bool>* t_pStop = nullptr;

bool StopAsked()
{
    return t_pStop && t_pStop->load(std::memory_order_relaxed);
}

// Up to nSize bytes from nOffset; false on a read error. A file that shrank gives fewer.
bool ReadAt(HANDLE hFile, uint64_t nOffset, uint8_t* pBuffer, DWORD nSize, DWORD& nRead)
{
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(nOffset);
    at.OffsetHigh = static_cast<DWORD>(nOffset >> 32);
    nRead = 0;
    if (::ReadFile(hFile, pBuffer, nSize, &nRead, &at))
        return true;
    return ::GetLastError() == ERROR_HANDLE_EOF;
}

enum class Whole { Read, Failed, Stopped };

// Reads up to nSize bytes from the start. A file that shrank meanwhile gives less.
Whole ReadAll(HANDLE hFile, uint8_t* pBuffer, size_t nSize, size_t& nRead)
{
    nRead = 0;
    while (nRead < nSize) {
        if (StopAsked())
            return Whole::Stopped;
        DWORD nGot = 0;
        const DWORD nWant = static_cast<DWORD>(std::min<size_t>(nSize - nRead, kChunk));
        if (!ReadAt(hFile, nRead, pBuffer + nRead, nWant, nGot))
            return Whole::Failed;
        if (nGot == 0)
            break;
        nRead += nGot;
    }
    return Whole::Read;
}

// Whether a decoder claims the file, from its first and last bytes: what a file that is no
// picture costs, whatever its size.
FileRead Sniff(HANDLE hFile, uint64_t nFileSize)
{
    uint8_t mark[kBuiltInSignatureBytes];
    DWORD nMark = 0;
    if (!ReadAt(hFile, 0, mark, static_cast<DWORD>(std::min<uint64_t>(sizeof(mark), nFileSize)), nMark))
        return FileRead::Unreadable;
    if (HasBuiltInSignature(mark, nMark))
        return FileRead::Read;
    const std::shared_ptr<const DecoderSignatures> pSignatures = KnownDecoderSignatures();
    if (!pSignatures)
        return FileRead::NoMemory;
    uint8_t head[kSignatureReadLimit];
    uint8_t tail[kSignatureReadLimit];
    const SignatureSpan span = pSignatures->span;
    DWORD nHead = 0, nTail = 0;
    if (!ReadAt(hFile, 0, head, static_cast<DWORD>(std::min<uint64_t>(span.nHead, nFileSize)), nHead))
        return FileRead::Unreadable;
    const DWORD nTailWanted = static_cast<DWORD>(std::min<uint64_t>(span.nTail, nFileSize));
    if (nTailWanted > 0 && !ReadAt(hFile, nFileSize - nTailWanted, tail, nTailWanted, nTail))
        return FileRead::Unreadable;
    return SomeDecoderClaims(*pSignatures, nFileSize, head, nHead, tail, nTail) ? FileRead::Read
                                                                                : FileRead::NotPicture;
}

FileRead ReadOpen(HANDLE hFile, uint64_t nMaxBytes, IStream*& pResult, uint8_t*& pResultData, size_t& nResultSize)
{
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(hFile, &size) || size.QuadPart < 0)
        return FileRead::Unreadable;
    const uint64_t nFileSize = static_cast<uint64_t>(size.QuadPart);
    const FileRead sniffed = Sniff(hFile, nFileSize);
    if (sniffed != FileRead::Read)
        return sniffed;
    if (nFileSize > nMaxBytes || nFileSize >= std::numeric_limits<size_t>::max())
        return FileRead::NoMemory;
    if (StopAsked())
        return FileRead::Stopped;
    const size_t nSize = static_cast<size_t>(nFileSize);
    uint8_t* pData = nullptr;
    IStream* pStream = CreateMemoryStream(nSize, &pData);
    if (!pStream)
        return FileRead::NoMemory;
    size_t nRead = 0;
    const Whole read = ReadAll(hFile, pData, nSize, nRead);
    ULARGE_INTEGER nLength{};
    nLength.QuadPart = nRead;
    if (read != Whole::Read || FAILED(pStream->SetSize(nLength))) {
        pStream->Release();
        return read == Whole::Stopped ? FileRead::Stopped : FileRead::Unreadable;
    }
    pResult = pStream;
    pResultData = pData;
    nResultSize = nRead;
    return FileRead::Read;
}

}  // namespace

void StopReadsOnThisThreadWhen(const std::atomic<bool>* pStop)
{
    t_pStop = pStop;
}

FileInMemory::~FileInMemory()
{
    if (m_pStream)
        m_pStream->Release();
}

// The bytes belong to the stream, so the decoder reads these very bytes and no second copy
// is made; an animated picture's decoder keeps them with its reference.
FileRead FileInMemory::Read(const std::wstring& strPath, uint64_t nMaxBytes)
{
    HANDLE hFile = ::CreateFileW(strPath.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return FileRead::Unreadable;
    IStream* pStream = nullptr;
    uint8_t* pData = nullptr;
    size_t nSize = 0;
    const FileRead read = ReadOpen(hFile, nMaxBytes, pStream, pData, nSize);
    ::CloseHandle(hFile);
    if (read == FileRead::Read) {
        m_pStream = pStream;
        m_pData = pData;
        m_nSize = nSize;
    }
    return read;
}
