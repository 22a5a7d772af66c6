#pragma once
// Pictures made ready before the user asks for them. A pool of worker threads decodes the
// entries the next steps would try, nearest first, in the way of the latest step, and the
// nearest one the other way. Platform-free: decoding, releasing, a file's stamp and the
// memory status come in as hooks.
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "images/ahead/read_ahead_plan.h"
#include "images/decode/picture_decode.h"

// What a file looked like when it was read: a prepared result is good only for the same file.
// The change time moves with every write and every change of the file's times, so a file
// rewritten with its last-write time put back (or within FAT's two seconds) differs; 0 where
// the file system keeps none.
struct FileStamp {
    bool bExists = false;
    uint64_t nSize = 0;
    uint64_t nWriteTime = 0;
    uint64_t nChangeTime = 0;
    bool operator==(const FileStamp&) const = default;
};

struct ReadAheadHooks {
    struct Decoded {
        void* pPicture = nullptr;  // set only for DecodeStatus::Decoded
        uint64_t nBytes = 0;       // its decoded size
        DecodeStatus status = DecodeStatus::Rejected;
    };
    // nMaxBytes covers the file's bytes and the decoded picture: a decode that would hold more
    // makes nothing (NoMemory).
    std::function<Decoded(const std::wstring& strPath, bool bAutoRotate, uint64_t nMaxBytes)> decode;
    std::function<void(void*)> release;
    std::function<FileStamp(const std::wstring& strPath)> stamp;
    std::function<MemoryStatus()> memory;
    // Run on each worker thread as it starts; onThreadEnd runs only where it said yes.
    std::function<bool()> onThreadStart;
    std::function<void()> onThreadEnd;
    // Given to each worker thread as it starts: set once read-ahead stops, so that a long read
    // on that thread can give up.
    std::function<void(const std::atomic<bool>* pStopping)> watchStop;
};

// Whether some read-ahead of this process gave up waiting for its workers after a decoder
// fault: they may hold the imaging code's locks, so nothing is to shut it down under them.
bool ReadAheadLeftWorkersRunning();

class ReadAhead {
public:
    enum class Outcome { None, Picture, Failure };
    struct Counts {
        size_t nPictures = 0;  // prepared pictures held now
        size_t nFailures = 0;  // prepared failures held now
        size_t nDecodes = 0;   // decodes done for the pool so far
        size_t nTaken = 0;     // results handed over so far
        size_t nHelped = 0;    // decodes the caller made for the pool while it waited
        bool bStopped = false; // a decoder fault ended read-ahead for this run
    };

    ReadAhead(ReadAheadHooks hooks, size_t nWorkers);
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // Replaces the plan (starting the workers on first use); results it no longer needs are
    // released at once, and those still under decode as soon as they are done.
    void SetPlan(ReadAheadPlan plan);
    // Hands over the prepared result for this file when it is still the same file; a decode
    // of it under way is waited for, never started again. While it waits and help() says
    // more steps are pending, the calling thread decodes the nearest planned entry nobody
    // has started. None: the caller decodes the file, and the pool leaves it alone.
    Outcome Take(const std::wstring& strFolder, const std::wstring& strName, bool bAutoRotate, void*& pPicture,
                 const std::function<bool()>& help = {});
    // Drops every result and the plan.
    void DropAll();
    // Stops the workers after at most the decodes under way, joins them and drops everything.
    // After a decoder fault a worker may never come back (a lock the fault abandoned): then it
    // waits at most two seconds, leaves them running with everything they use, and says false;
    // the object must then outlive them, so its owner lets it go without deleting it.
    bool Stop();
    // Blocks until no worker has anything left to do (tests and measurements).
    void WaitUntilIdle();
    Counts GetCounts() const;

private:
    enum class State { Decoding, Picture, Failure, Skipped };
    struct Result {
        std::wstring strPath;
        bool bAutoRotate = true;
        State state = State::Decoding;
        FileStamp stamp;
        void* pPicture = nullptr;
        uint64_t nBytes = 0;  // the picture's size, or the share reserved while it decodes
    };
    struct Job {
        std::wstring strPath;
        bool bAutoRotate = true;
        uint64_t nMaxBytes = 0;
    };

    void Run();
    std::vector<std::wstring> WindowLocked();
    bool NextJobLocked(Job& job);
    void DoJob(std::unique_lock<std::mutex>& lock, const Job& job);
    std::vector<void*> TrimLocked();
    std::vector<Result>::iterator FindLocked(const std::wstring& strPath);
    void ReleaseAll(const std::vector<void*>& pictures);

    ReadAheadHooks m_hooks;
    const size_t m_nWorkers;
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    std::vector<std::thread> m_threads;
    ReadAheadPlan m_plan;
    bool m_bHavePlan = false;
    bool m_bPaused = false;   // a picture was handed over: the plan is the previous picture's
    bool m_bStop = false;
    bool m_bFaulted = false;  // the decoder faulted on a worker: its locks may be abandoned
    bool m_bLeftRunning = false;  // Stop gave up waiting for the workers
    size_t m_nRunning = 0;    // worker threads that have not yet ended
    std::atomic<bool> m_bStopping{false};
    size_t m_nBusy = 0;       // decodes under way for the pool
    std::wstring m_strClaimed;  // the file the caller decodes itself
    std::vector<Result> m_results;
    std::vector<void*> m_toRelease;  // dropped by a plan, for a worker to free
    Counts m_counts;
};
