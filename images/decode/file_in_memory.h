#pragma once
// A picture file read whole into memory through one short open that lets other programs
// delete, rename or overwrite it at any time, and a stream over that memory for the decoder.
#include <cstddef>
#include <cstdint>
#include <string>

struct IStream;

enum class FileRead {
    Read,        // the bytes are in memory
    Unreadable,  // the file couldn't be opened or read
    NoMemory,    // its size can't be held, or the memory for it ran out
};

class FileInMemory {
public:
    FileInMemory() = default;
    FileInMemory(const FileInMemory&) = delete;
    FileInMemory& operator=(const FileInMemory&) = delete;
    ~FileInMemory();

    // Reads the whole file; the file is closed again before this returns.
    FileRead Read(const std::wstring& strPath);

    // A stream over the bytes, at its start; whoever keeps a reference keeps the memory.
    IStream* Stream() const { return m_pStream; }
    const uint8_t* Data() const { return m_pData; }
    size_t Size() const { return m_nSize; }

private:
    IStream* m_pStream = nullptr;
    const uint8_t* m_pData = nullptr;
    size_t m_nSize = 0;
};
