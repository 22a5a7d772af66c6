#pragma once
// A picture file read whole into memory through one short open that lets other programs
// delete, rename or overwrite it at any time, and a stream over that memory for the decoder.
// Only a file some decoder claims by its first (and last) bytes is read whole.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

struct IStream;

enum class FileRead {
    Read,        // the bytes are in memory
    NotPicture,  // no decoder claims the file's first bytes: only those were read
    Unreadable,  // the file couldn't be opened or read
    NoMemory,    // its size can't be held or passes the limit given, or the memory for it ran out
    Stopped,     // the reads of this thread were told to stop
};

class FileInMemory {
public:
    FileInMemory() = default;
    FileInMemory(const FileInMemory&) = delete;
    FileInMemory& operator=(const FileInMemory&) = delete;
    ~FileInMemory();

    // Reads the whole file when a decoder claims it and it has at most nMaxBytes; the file
    // is closed again before this returns.
    FileRead Read(const std::wstring& strPath, uint64_t nMaxBytes = std::numeric_limits<uint64_t>::max());

    // A stream over the bytes, at its start; whoever keeps a reference keeps the memory.
    IStream* Stream() const { return m_pStream; }
    const uint8_t* Data() const { return m_pData; }
    size_t Size() const { return m_nSize; }

private:
    IStream* m_pStream = nullptr;
    const uint8_t* m_pData = nullptr;
    size_t m_nSize = 0;
};

// From now on, reads on the calling thread give up between chunks once *pStop is set, so a
// large file never holds up whoever stops them; null: they never do.
void StopReadsOnThisThreadWhen(const std::atomic<bool>* pStop);
