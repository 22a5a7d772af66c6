#pragma once
// Pictures made ready before the user asks for them. One worker thread decodes the entries
// the next steps would try, in the order the walk would try them, and keeps the first one
// that decodes each way: at most two prepared pictures, and the failures met on the way.
// Platform-free: decoding, releasing and reading a file's stamp come in as hooks.
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// What a file looked like when it was read: a prepared result is good only for the same file.
struct FileStamp {
    bool bExists = false;
    uint64_t nSize = 0;
    uint64_t nWriteTime = 0;
    bool operator==(const FileStamp&) const = default;
};

// The names the next steps would try, nearest first; the current entry is never among them.
struct ReadAheadPlan {
    std::wstring strFolder;
    bool bAutoRotate = true;
    std::vector<std::wstring> ahead;   // the way of the latest step
    std::vector<std::wstring> behind;  // the other way
};

// Walks the ring as the steps do: forward as Next tries entries, backward as Prev does, the
// end position (a picture without an entry) lying after the last entry and before the first.
ReadAheadPlan PlanReadAhead(const std::wstring& strFolder, bool bAutoRotate, const std::list<std::wstring>& list,
                            std::list<std::wstring>::const_iterator itCurrent, bool bBackward, size_t nMaxEach);

struct ReadAheadHooks {
    // The decoded picture, or null when it can't be shown; nBytes gets its decoded size.
    std::function<void*(const std::wstring& strPath, bool bAutoRotate, uint64_t& nBytes)> decode;
    std::function<void(void*)> release;
    std::function<FileStamp(const std::wstring& strPath)> stamp;
    // Run on the worker thread as it starts and as it ends (both optional).
    std::function<void()> onThreadStart;
    std::function<void()> onThreadEnd;
};

class ReadAhead {
public:
    enum class Outcome { None, Picture, Failure };
    struct Counts {
        size_t nPictures = 0;  // prepared pictures held now
        size_t nFailures = 0;  // prepared failures held now
        size_t nDecodes = 0;   // decodes done by the worker so far
        size_t nTaken = 0;     // results handed over so far
    };

    // A picture bigger than nByteBudget is never kept, nor two together that exceed it.
    ReadAhead(ReadAheadHooks hooks, uint64_t nByteBudget);
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // Replaces the plan (starting the worker on first use); results it doesn't need are dropped.
    void SetPlan(ReadAheadPlan plan);
    // Hands over the prepared result for this file when it is still the same file; waits only
    // while the worker decodes this very file. None: the caller decodes it, and the worker
    // leaves it alone until the next plan.
    Outcome Take(const std::wstring& strFolder, const std::wstring& strName, bool bAutoRotate, void*& pPicture);
    // Drops every result and the plan.
    void DropAll();
    // Stops and joins the worker, after at most the decode under way, and drops everything.
    void Stop();
    // Blocks until the worker has nothing left to do (tests and measurements).
    void WaitUntilIdle();
    Counts GetCounts() const;

private:
    struct Result {
        std::wstring strPath;
        bool bAutoRotate = true;
        FileStamp stamp;
        void* pPicture = nullptr;
        uint64_t nBytes = 0;
        bool bTooBig = false;  // decodes, but isn't kept: the caller decodes it itself
    };

    void Run();
    bool NextJob(std::wstring& strPath, uint64_t& nBudgetLeft);
    std::vector<void*> TrimLocked();
    std::vector<Result>::iterator FindLocked(const std::wstring& strPath);
    void ReleaseAll(const std::vector<void*>& pictures);

    ReadAheadHooks m_hooks;
    const uint64_t m_nByteBudget;
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    std::thread m_thread;
    ReadAheadPlan m_plan;
    bool m_bHavePlan = false;
    bool m_bPaused = false;  // a picture was handed over: the plan is the previous picture's
    bool m_bStop = false;
    bool m_bIdle = true;
    std::wstring m_strDecoding;
    std::wstring m_strClaimed;
    std::vector<Result> m_results;
    Counts m_counts;
};
