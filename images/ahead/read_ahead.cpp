#include "images/ahead/read_ahead.h"

#include <algorithm>
#include <chrono>
#include <new>
#include <utility>

namespace {

// How long closing waits for workers once a decoder fault may have left one stuck.
constexpr std::chrono::seconds kFaultedStopWait{2};

std::atomic<bool> g_bLeftRunning{false};

}  // namespace

bool ReadAheadLeftWorkersRunning()
{
    return g_bLeftRunning.load();
}

ReadAhead::ReadAhead(ReadAheadHooks hooks, size_t nWorkers) : m_hooks(std::move(hooks)), m_nWorkers(nWorkers)
{
}

// Only reached with workers left running when they end after all (tests let them go).
ReadAhead::~ReadAhead()
{
    if (Stop())
        return;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_cv.wait(lock, [&] { return m_nRunning == 0; });
    }
    DropAll();
}

std::vector<ReadAhead::Result>::iterator ReadAhead::FindLocked(const std::wstring& strPath)
{
    return std::find_if(m_results.begin(), m_results.end(), [&](const Result& r) { return r.strPath == strPath; });
}

// The paths the plan wants, nearest first: in the way of travel one more entry than there are
// workers, the other way one, each way passing the failures the walk would erase. The file
// the caller decodes itself is left out, so the workers reach beyond it.
std::vector<std::wstring> ReadAhead::WindowLocked()
{
    std::vector<std::wstring> window;
    if (!m_bHavePlan)
        return window;
    auto collect = [&](const std::vector<std::wstring>& names, size_t nWanted) {
        size_t n = 0;
        for (const std::wstring& name : names) {
            if (n == nWanted)
                break;
            std::wstring path = m_plan.strFolder + name;
            if (path == m_strClaimed)
                continue;
            const auto it = FindLocked(path);
            const bool bFailure = it != m_results.end() && it->state == State::Failure;
            window.push_back(std::move(path));
            n += bFailure ? 0 : 1;
        }
    };
    collect(m_plan.ahead, m_nWorkers + 1);
    collect(m_plan.behind, 1);
    return window;
}

// Keeps what is under decode, the caller's file and what the plan wants; everything else is
// handed back for release outside the lock.
std::vector<void*> ReadAhead::TrimLocked()
{
    const std::vector<std::wstring> window = WindowLocked();
    std::vector<void*> dropped;
    std::vector<Result> kept;
    for (Result& r : m_results) {
        const bool bWanted = r.strPath == m_strClaimed ||
                             (r.bAutoRotate == m_plan.bAutoRotate &&
                              std::find(window.begin(), window.end(), r.strPath) != window.end());
        if (r.state == State::Decoding || bWanted)
            kept.push_back(std::move(r));
        else if (r.pPicture)
            dropped.push_back(r.pPicture);
    }
    m_results = std::move(kept);
    return dropped;
}

void ReadAhead::ReleaseAll(const std::vector<void*>& pictures)
{
    for (void* p : pictures)
        m_hooks.release(p);
}

// The nearest wanted entry nobody has decoded or started, with its share of the budget. No
// job when that share could not hold a picture the size of the largest one known: fewer
// pictures ahead rather than more memory than the budget.
bool ReadAhead::NextJobLocked(Job& job)
{
    if (!m_bHavePlan || m_bPaused || m_bStop || m_bFaulted)
        return false;
    uint64_t nCounted = m_plan.nShownBytes;
    uint64_t nLargest = m_plan.nShownBytes;
    for (const Result& r : m_results) {
        if (r.state == State::Decoding || r.state == State::Picture)
            nCounted += r.nBytes;
        if (r.state == State::Picture)
            nLargest = std::max(nLargest, r.nBytes);
    }
    const size_t nFreeSlots = m_nWorkers + 1 > m_nBusy ? m_nWorkers + 1 - m_nBusy : 1;
    const uint64_t nShare = DecodeShare(ReadAheadBudget(m_hooks.memory()), nCounted, nFreeSlots);
    if (nShare == 0 || nShare < nLargest)
        return false;
    for (std::wstring& path : WindowLocked()) {
        if (FindLocked(path) == m_results.end()) {
            job = Job{std::move(path), m_plan.bAutoRotate, nShare};
            return true;
        }
    }
    return false;
}

// Decodes one job outside the lock; the lock is held again on return. Only the decoder's
// verdicts on the data are remembered: a file that could not be read or did not fit is
// skipped, left to the step.
void ReadAhead::DoJob(std::unique_lock<std::mutex>& lock, const Job& job)
{
    Result pending;
    pending.strPath = job.strPath;
    pending.bAutoRotate = job.bAutoRotate;
    pending.nBytes = job.nMaxBytes;
    m_results.push_back(std::move(pending));
    ++m_nBusy;
    lock.unlock();

    const FileStamp stamp = m_hooks.stamp(job.strPath);
    ReadAheadHooks::Decoded decoded;
    decoded.status = DecodeStatus::Unreadable;
    // The file's bytes are held while it decodes: one larger than the share is left to the step.
    if (stamp.bExists && stamp.nSize > job.nMaxBytes) {
        decoded.status = DecodeStatus::NoMemory;
    } else if (stamp.bExists) {
        try {
            decoded = m_hooks.decode(job.strPath, job.bAutoRotate, job.nMaxBytes);
        } catch (const std::bad_alloc&) {
            decoded = ReadAheadHooks::Decoded{nullptr, 0, DecodeStatus::NoMemory};
        }
    }

    lock.lock();
    --m_nBusy;
    ++m_counts.nDecodes;
    const auto it = FindLocked(job.strPath);
    it->stamp = stamp;
    it->pPicture = decoded.pPicture;
    it->nBytes = decoded.pPicture ? decoded.nBytes : 0;
    switch (decoded.status) {
    case DecodeStatus::Decoded:
        it->state = decoded.pPicture ? State::Picture : State::Skipped;
        break;
    case DecodeStatus::Faulted:
        m_bFaulted = true;
        [[fallthrough]];
    case DecodeStatus::Rejected:
        it->state = State::Failure;
        break;
    case DecodeStatus::Unreadable:
    case DecodeStatus::NoMemory:
        it->state = State::Skipped;
        break;
    }
    const std::vector<void*> dropped = TrimLocked();
    m_cv.notify_all();
    lock.unlock();
    ReleaseAll(dropped);
    lock.lock();
}

void ReadAhead::Run()
{
    const bool bStarted = m_hooks.onThreadStart ? m_hooks.onThreadStart() : false;
    if (m_hooks.watchStop)
        m_hooks.watchStop(&m_bStopping);
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            Job job;
            m_cv.wait(lock, [&] { return m_bStop || !m_toRelease.empty() || NextJobLocked(job); });
            if (m_bStop)
                break;
            if (!m_toRelease.empty()) {
                std::vector<void*> pictures;
                pictures.swap(m_toRelease);
                lock.unlock();
                ReleaseAll(pictures);
                lock.lock();
                m_cv.notify_all();
                continue;
            }
            DoJob(lock, job);
        }
    }
    if (m_hooks.watchStop)
        m_hooks.watchStop(nullptr);
    if (bStarted && m_hooks.onThreadEnd)
        m_hooks.onThreadEnd();
    std::lock_guard<std::mutex> lock(m_mutex);
    --m_nRunning;
    m_cv.notify_all();
}

void ReadAhead::SetPlan(ReadAheadPlan plan)
{
    std::vector<void*> dropped;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_bStop)
            return;
        m_plan = std::move(plan);
        m_bHavePlan = true;
        m_bPaused = false;
        m_strClaimed.clear();
        // A file skipped for now may be read or fit at the next try.
        std::erase_if(m_results, [](const Result& r) { return r.state == State::Skipped; });
        dropped = TrimLocked();
        while (m_threads.size() < m_nWorkers) {
            m_threads.emplace_back([this] { Run(); });
            ++m_nRunning;
        }
        // Freeing a big picture takes a while: a worker does it, off the step's path, unless
        // a decoder fault may have left the workers stuck.
        if (!m_bFaulted) {
            m_toRelease.insert(m_toRelease.end(), dropped.begin(), dropped.end());
            dropped.clear();
        }
    }
    m_cv.notify_all();
    ReleaseAll(dropped);
}

ReadAhead::Outcome ReadAhead::Take(const std::wstring& strFolder, const std::wstring& strName, bool bAutoRotate,
                                   void*& pPicture, const std::function<bool()>& help)
{
    pPicture = nullptr;
    const std::wstring strPath = strFolder + strName;
    Result result;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_strClaimed = strPath;
        for (;;) {
            const auto it = FindLocked(strPath);
            if (it == m_results.end())
                return Outcome::None;
            if (it->state != State::Decoding) {
                result = std::move(*it);
                m_results.erase(it);
                break;
            }
            // After a decoder fault its locks may be held for good: nothing is waited for.
            if (m_bFaulted)
                return Outcome::None;
            Job job;
            if (help && help() && NextJobLocked(job)) {
                ++m_counts.nHelped;
                DoJob(lock, job);
            }
            else if (help)
                m_cv.wait_for(lock, std::chrono::milliseconds(10));
            else
                m_cv.wait(lock);
        }
    }
    if (result.bAutoRotate != bAutoRotate || result.state == State::Skipped || m_hooks.stamp(strPath) != result.stamp) {
        if (result.pPicture)
            m_hooks.release(result.pPicture);
        return Outcome::None;
    }
    {
        // A picture handed over ends the step that asked for it: the plan was made for the
        // picture before, so the pool waits for the next one rather than decode for it.
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_counts.nTaken;
        m_bPaused = m_bPaused || result.pPicture != nullptr;
    }
    pPicture = result.pPicture;
    return pPicture ? Outcome::Picture : Outcome::Failure;
}

void ReadAhead::DropAll()
{
    std::vector<void*> dropped;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bHavePlan = false;
        m_plan = ReadAheadPlan{};
        m_strClaimed.clear();
        dropped = TrimLocked();
        dropped.insert(dropped.end(), m_toRelease.begin(), m_toRelease.end());
        m_toRelease.clear();
    }
    ReleaseAll(dropped);
}

bool ReadAhead::Stop()
{
    std::vector<std::thread> threads;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (m_bLeftRunning)
            return false;
        m_bStop = true;
        m_bStopping = true;
        threads.swap(m_threads);
        m_cv.notify_all();
        if (m_bFaulted && !m_cv.wait_for(lock, kFaultedStopWait, [&] { return m_nRunning == 0; })) {
            m_bLeftRunning = true;
            g_bLeftRunning = true;
            lock.unlock();
            for (std::thread& t : threads)
                t.detach();
            return false;
        }
    }
    for (std::thread& t : threads)
        t.join();
    DropAll();
    return true;
}

void ReadAhead::WaitUntilIdle()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_cv.wait(lock, [&] {
        Job job;
        return m_threads.empty() || (m_nBusy == 0 && m_toRelease.empty() && !NextJobLocked(job));
    });
}

ReadAhead::Counts ReadAhead::GetCounts() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Counts counts = m_counts;
    counts.bStopped = m_bFaulted;
    for (const Result& r : m_results) {
        if (r.state == State::Picture)
            ++counts.nPictures;
        else if (r.state == State::Failure)
            ++counts.nFailures;
    }
    return counts;
}
