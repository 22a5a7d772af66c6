#pragma once
// The picture named on the command line, read and decoded on a thread of its own from the
// program's first moment while the window is made, and handed to the first load of that file
// as a step takes a prepared picture. Platform-free: the decode, the release, a file's stamp
// and the thread's apartment come in as hooks (the read-ahead pool's).
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "images/ahead/read_ahead.h"

// What a decode was made of, and what a load asks for: the decode serves the load only when
// it is the same file, asked the same way, with the same stamp as when it was read.
struct FirstPictureKey {
    std::wstring strPath;
    bool bAutoRotate = true;
    FileStamp stamp;
};
bool FirstPictureServes(const FirstPictureKey& made, std::wstring_view strPath, bool bAutoRotate, const FileStamp& stamp);

class FirstPicture {
public:
    // Starts the thread at once.
    FirstPicture(ReadAheadHooks hooks, std::wstring strPath, bool bAutoRotate);
    // Waits for a decode under way and releases a picture nobody took.
    ~FirstPicture();
    FirstPicture(const FirstPicture&) = delete;
    FirstPicture& operator=(const FirstPicture&) = delete;

    // The decode's outcome for this file when it serves it, waiting for it to end: Picture
    // (pPicture is the caller's), Failure (whatever kept the decode from a picture, as a
    // decode here would have told) or None, when the caller decodes the file itself. Only the
    // first call can be answered; every later one is None.
    ReadAhead::Outcome Take(const std::wstring& strPath, bool bAutoRotate, void*& pPicture);
    // Waits at most nMaxMs for the thread to have its apartment and its decoders loaded, so
    // that the window's own DLLs, loaded next, don't hold up theirs.
    void WaitStarted(unsigned nMaxMs);
    // Whether the decode has ended (tests).
    bool Done() const;

private:
    void Run();

    ReadAheadHooks m_hooks;
    FirstPictureKey m_key;
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_bStarted = false;
    bool m_bDone = false;
    bool m_bTaken = false;
    ReadAheadHooks::Decoded m_decoded;
    std::thread m_thread;
};

// The program's own: the read-ahead pool's decode, release, stamp and apartment
// (picture_read_ahead.cpp). Null when the thread can't be started: the load decodes the file.
std::unique_ptr<FirstPicture> StartFirstPicture(const std::wstring& strPath, bool bAutoRotate);
