#include "images/decode/read_ahead.h"

#include <algorithm>
#include <new>
#include <utility>

namespace {

using FileList = std::list<std::wstring>;
using ConstIt = FileList::const_iterator;

// Names from `it` on, moving with step, until nMax are taken or the walk meets itCurrent.
template <class Step>
std::vector<std::wstring> CollectNames(ConstIt itCurrent, ConstIt it, size_t nMax, Step step)
{
    std::vector<std::wstring> names;
    while (names.size() < nMax && it != itCurrent) {
        names.push_back(*it);
        step(it);
    }
    return names;
}

// Next tries the entry after the current one, wrapping past the last to the first; from the
// end position it starts at the first entry and stops at the last.
std::vector<std::wstring> ForwardNames(const FileList& list, ConstIt itCurrent, size_t nMax)
{
    if (list.empty())
        return {};
    auto step = [&](ConstIt& it) {
        ++it;
        if (it == list.end() && itCurrent != list.end())
            it = list.begin();
    };
    ConstIt it = itCurrent;
    if (it == list.end())
        it = list.begin();
    else
        step(it);
    return CollectNames(itCurrent, it, nMax, step);
}

// Prev is the mirror image: the entry before, wrapping past the first to the last.
std::vector<std::wstring> BackwardNames(const FileList& list, ConstIt itCurrent, size_t nMax)
{
    if (list.empty())
        return {};
    auto step = [&](ConstIt& it) {
        if (it == list.begin()) {
            it = list.end();
            if (itCurrent == list.end())
                return;
        }
        --it;
    };
    ConstIt it = itCurrent;
    if (it == list.end())
        --it;
    else
        step(it);
    return CollectNames(itCurrent, it, nMax, step);
}

}  // namespace

ReadAheadPlan PlanReadAhead(const std::wstring& strFolder, bool bAutoRotate, const std::list<std::wstring>& list,
                            std::list<std::wstring>::const_iterator itCurrent, bool bBackward, size_t nMaxEach)
{
    ReadAheadPlan plan;
    plan.strFolder = strFolder;
    plan.bAutoRotate = bAutoRotate;
    std::vector<std::wstring> forward = ForwardNames(list, itCurrent, nMaxEach);
    std::vector<std::wstring> backward = BackwardNames(list, itCurrent, nMaxEach);
    plan.ahead = bBackward ? std::move(backward) : std::move(forward);
    plan.behind = bBackward ? std::move(forward) : std::move(backward);
    return plan;
}

ReadAhead::ReadAhead(ReadAheadHooks hooks, uint64_t nByteBudget) : m_hooks(std::move(hooks)), m_nByteBudget(nByteBudget)
{
}

ReadAhead::~ReadAhead()
{
    Stop();
}

std::vector<ReadAhead::Result>::iterator ReadAhead::FindLocked(const std::wstring& strPath)
{
    return std::find_if(m_results.begin(), m_results.end(), [&](const Result& r) { return r.strPath == strPath; });
}

// Keeps what the plan can still use: each way, the failures met on the way and the first
// entry that decodes, up to the first entry not tried yet; a picture past that one is not
// known to be the nearest and goes. Everything else is handed back for release outside
// the lock.
std::vector<void*> ReadAhead::TrimLocked()
{
    std::vector<const Result*> keep;
    if (m_bHavePlan) {
        for (const std::vector<std::wstring>* names : {&m_plan.ahead, &m_plan.behind}) {
            for (const std::wstring& name : *names) {
                const auto it = FindLocked(m_plan.strFolder + name);
                if (it == m_results.end() || it->bAutoRotate != m_plan.bAutoRotate)
                    break;
                keep.push_back(&*it);
                if (it->pPicture || it->bTooBig)
                    break;
            }
        }
    }
    std::vector<void*> dropped;
    std::vector<Result> kept;
    for (Result& r : m_results) {
        if (std::find(keep.begin(), keep.end(), &r) != keep.end())
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

// The nearest entry without a result, the way of the latest step first; the other way only
// while the budget has room. A way ends at its first prepared picture, or at the entry the
// caller is decoding itself.
bool ReadAhead::NextJob(std::wstring& strPath, uint64_t& nBudgetLeft)
{
    if (!m_bHavePlan || m_bPaused || m_bStop)
        return false;
    uint64_t nHeld = 0;
    for (const Result& r : m_results)
        nHeld += r.pPicture ? r.nBytes : 0;
    nBudgetLeft = nHeld < m_nByteBudget ? m_nByteBudget - nHeld : 0;
    auto scan = [&](const std::vector<std::wstring>& names) {
        for (const std::wstring& name : names) {
            std::wstring path = m_plan.strFolder + name;
            if (path == m_strClaimed)
                return false;
            const auto it = FindLocked(path);
            if (it == m_results.end()) {
                strPath = std::move(path);
                return true;
            }
            if (it->pPicture || it->bTooBig)
                return false;
        }
        return false;
    };
    return scan(m_plan.ahead) || (nBudgetLeft > 0 && scan(m_plan.behind));
}

void ReadAhead::Run()
{
    if (m_hooks.onThreadStart)
        m_hooks.onThreadStart();
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        std::wstring strPath;
        uint64_t nBudgetLeft = 0;
        while (!m_bStop && !NextJob(strPath, nBudgetLeft)) {
            m_bIdle = true;
            m_cv.notify_all();
            m_cv.wait(lock);
        }
        if (m_bStop)
            break;
        m_bIdle = false;
        m_strDecoding = strPath;
        const bool bAutoRotate = m_plan.bAutoRotate;
        lock.unlock();

        Result result;
        result.strPath = strPath;
        result.bAutoRotate = bAutoRotate;
        result.stamp = m_hooks.stamp(strPath);
        if (result.stamp.bExists) {
            try {
                result.pPicture = m_hooks.decode(strPath, bAutoRotate, result.nBytes);
            } catch (const std::bad_alloc&) {
                result.pPicture = nullptr;
            }
        }
        std::vector<void*> dropped;
        if (result.pPicture && result.nBytes > nBudgetLeft) {
            dropped.push_back(result.pPicture);
            result.pPicture = nullptr;
            result.bTooBig = true;
        }

        lock.lock();
        ++m_counts.nDecodes;
        m_strDecoding.clear();
        m_results.push_back(std::move(result));
        for (void* p : TrimLocked())
            dropped.push_back(p);
        m_cv.notify_all();
        lock.unlock();
        ReleaseAll(dropped);
        lock.lock();
    }
    m_bIdle = true;
    m_cv.notify_all();
    lock.unlock();
    if (m_hooks.onThreadEnd)
        m_hooks.onThreadEnd();
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
        m_bIdle = false;
        dropped = TrimLocked();
        if (!m_thread.joinable())
            m_thread = std::thread([this] { Run(); });
    }
    m_cv.notify_all();
    ReleaseAll(dropped);
}

ReadAhead::Outcome ReadAhead::Take(const std::wstring& strFolder, const std::wstring& strName, bool bAutoRotate,
                                   void*& pPicture)
{
    pPicture = nullptr;
    const std::wstring strPath = strFolder + strName;
    Result result;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_strClaimed = strPath;
        m_cv.wait(lock, [&] { return m_strDecoding != strPath; });
        const auto it = FindLocked(strPath);
        if (it == m_results.end())
            return Outcome::None;
        result = std::move(*it);
        m_results.erase(it);
    }
    if (result.bAutoRotate != bAutoRotate || result.bTooBig || m_hooks.stamp(strPath) != result.stamp) {
        if (result.pPicture)
            m_hooks.release(result.pPicture);
        return Outcome::None;
    }
    {
        // A picture handed over ends the step that asked for it: the plan was made for the
        // picture before, so the worker waits for the next one rather than decode for it.
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
    }
    ReleaseAll(dropped);
}

void ReadAhead::Stop()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bStop = true;
    }
    m_cv.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    DropAll();
}

void ReadAhead::WaitUntilIdle()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_cv.wait(lock, [&] { return m_bIdle || !m_thread.joinable(); });
}

ReadAhead::Counts ReadAhead::GetCounts() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Counts counts = m_counts;
    for (const Result& r : m_results)
        ++(r.pPicture ? counts.nPictures : counts.nFailures);
    return counts;
}
