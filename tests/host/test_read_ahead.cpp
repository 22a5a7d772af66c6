#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <iterator>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "images/ahead/read_ahead.h"

namespace {

using Names = std::vector<std::wstring>;
using Outcome = ReadAhead::Outcome;
const Names kAtoH{L"a", L"b", L"c", L"d", L"e", L"f", L"g", L"h"};

// A folder of fake pictures: each decoded one must end either handed over or released. A
// name in `held` decodes only once the test lets it go.
struct FakeFolder {
    std::mutex mutex;
    std::condition_variable cv;
    std::map<std::wstring, DecodeStatus> status;  // Decoded unless listed
    std::map<std::wstring, uint64_t> bytes, sizes;  // a name without a size doesn't exist
    std::set<std::wstring> held;
    Names decoded;
    std::vector<uint64_t> limits;
    MemoryStatus memory{1ull << 40, 1ull << 40, false};
    std::atomic<int> nLive{0};
    std::vector<const std::atomic<bool>*> stopFlags;  // as each worker was told of it

    ReadAhead Make(size_t nWorkers)
    {
        ReadAheadHooks hooks;
        hooks.decode = [this](const std::wstring& path, bool, uint64_t nMax) {
            std::unique_lock<std::mutex> lock(mutex);
            const std::wstring name = path.substr(2);
            decoded.push_back(name);
            limits.push_back(nMax);
            cv.wait(lock, [&] { return !held.count(name); });
            ReadAheadHooks::Decoded d;
            d.nBytes = bytes.count(name) ? bytes[name] : 100;
            d.status = status.count(name) ? status[name] : DecodeStatus::Decoded;
            if (d.status == DecodeStatus::Decoded && d.nBytes > nMax)
                d.status = DecodeStatus::NoMemory;
            if (d.status == DecodeStatus::Decoded)
                d.pPicture = (++nLive, new std::wstring(name));
            return d;
        };
        hooks.release = [this](void* p) { --nLive, delete static_cast<std::wstring*>(p); };
        hooks.stamp = [this](const std::wstring& path) {
            std::lock_guard<std::mutex> lock(mutex);
            const std::wstring name = path.substr(2);
            return FileStamp{sizes.count(name) != 0, sizes.count(name) ? sizes[name] : 0, 0};
        };
        hooks.memory = [this] {
            std::lock_guard<std::mutex> lock(mutex);
            return memory;
        };
        hooks.watchStop = [this](const std::atomic<bool>* pStopping) {
            std::lock_guard<std::mutex> lock(mutex);
            if (pStopping)
                stopFlags.push_back(pStopping);
        };
        return ReadAhead(std::move(hooks), nWorkers);
    }
    explicit FakeFolder(const Names& names)
    {
        for (const std::wstring& name : names)
            sizes[name] = 1;
    }
    void Hold(const std::wstring& name)
    {
        std::lock_guard<std::mutex> lock(mutex);
        held.insert(name);
    }
    void Release(const std::wstring& name)
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            held.erase(name);
        }
        cv.notify_all();
    }
    Names Decoded()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return decoded;
    }
    Outcome Take(ReadAhead& ra, const std::wstring& name, const std::function<bool()>& help = {})
    {
        void* p = nullptr;
        const Outcome outcome = ra.Take(L"F\\", name, true, p, help);
        if (p)
            --nLive, delete static_cast<std::wstring*>(p);
        return outcome;
    }
};

ReadAheadPlan Plan(const Names& names, int nCurrent, bool bBackward, size_t nMax = 16)
{
    const std::list<std::wstring> list(names.begin(), names.end());
    return PlanReadAhead(L"F\\", true, list, nCurrent < 0 ? list.end() : std::next(list.begin(), nCurrent),
                         bBackward, nMax);
}

}  // namespace

TEST(ReadAheadPlan, FollowsTheWalksOrderBothWaysAroundTheRing)
{
    const Names abcd{L"a", L"b", L"c", L"d"};
    EXPECT_EQ(Plan(abcd, 1, false).ahead, (Names{L"c", L"d", L"a"}));
    EXPECT_EQ(Plan(abcd, 1, true).ahead, (Names{L"a", L"d", L"c"}));
    EXPECT_EQ(Plan(abcd, 1, true).behind, (Names{L"c", L"d", L"a"}));
    // The end position lies after the last entry and before the first: no wrap past it.
    EXPECT_EQ(Plan(abcd, -1, false).ahead, abcd);
    EXPECT_EQ(Plan(abcd, -1, false).behind, (Names{L"d", L"c", L"b", L"a"}));
    EXPECT_EQ(Plan(abcd, 3, false, 2).ahead, (Names{L"a", L"b"}));
    EXPECT_TRUE(Plan({L"a"}, 0, false).ahead.empty());
}

TEST(ReadAheadPlan, WorkersAndBudget)
{
    EXPECT_EQ(ReadAheadWorkerCount(1), 1u);
    EXPECT_EQ(ReadAheadWorkerCount(2), 1u);
    EXPECT_EQ(ReadAheadWorkerCount(4), 3u);
    EXPECT_EQ(ReadAheadWorkerCount(64), 4u);
    // Half of what is free; a 32-bit process also minds its address space.
    EXPECT_EQ(ReadAheadBudget({1000, 100, false}), 500u);
    EXPECT_EQ(ReadAheadBudget({1000, 100, true}), 50u);
    EXPECT_EQ(DecodeShare(1000, 400, 2), 300u);
    EXPECT_EQ(DecodeShare(1000, 1200, 2), 0u);
}

// Two workers going forward from b: three entries ahead that decode, the failures between
// them passed as the walk passes them, and one the other way.
TEST(ReadAhead, DecodesTheEntriesTheWalkWillTryAndHandsOverOnlyTheSameFile)
{
    FakeFolder folder(kAtoH);
    folder.status = {{L"c", DecodeStatus::Rejected}, {L"f", DecodeStatus::Rejected}};
    {
        ReadAhead ra = folder.Make(2);
        ra.SetPlan(Plan(kAtoH, 1, false));
        ra.WaitUntilIdle();
        Names decoded = folder.Decoded();
        std::sort(decoded.begin(), decoded.end());
        EXPECT_EQ(decoded, (Names{L"a", L"c", L"d", L"e", L"f", L"g"}));
        EXPECT_EQ(ra.GetCounts().nPictures, 4u);
        ra.SetPlan(Plan(kAtoH, 4, false));  // on e: g, h and a ahead past f, d behind; c and e go
        ra.WaitUntilIdle();
        EXPECT_EQ(folder.nLive, 4);
        EXPECT_EQ(folder.Take(ra, L"c"), Outcome::None);
        EXPECT_EQ(folder.Take(ra, L"f"), Outcome::Failure);
        folder.sizes[L"d"] = 2;  // d was rewritten since: the caller decodes it again
        EXPECT_EQ(folder.Take(ra, L"d"), Outcome::None);
        EXPECT_EQ(folder.Take(ra, L"g"), Outcome::Picture);
        EXPECT_EQ(folder.Take(ra, L"g"), Outcome::None);  // handed over once
        ra.SetPlan(Plan(kAtoH, 6, true));  // back from g: f fails, e, d, c fails again, b
        ra.WaitUntilIdle();
        EXPECT_EQ(folder.Take(ra, L"b"), Outcome::Picture);
        EXPECT_EQ(folder.Take(ra, L"h"), Outcome::Picture);
    }
    EXPECT_EQ(folder.nLive, 0);

    // A fault inside the decoder ends read-ahead for the run; its verdict is still handed over.
    FakeFolder faulty(kAtoH);
    faulty.status = {{L"b", DecodeStatus::Faulted}};
    ReadAhead ra = faulty.Make(1);
    ra.SetPlan(Plan(kAtoH, 0, false));
    ra.WaitUntilIdle();
    EXPECT_TRUE(ra.GetCounts().bStopped);
    EXPECT_EQ(faulty.Take(ra, L"b"), Outcome::Failure);
    ra.SetPlan(Plan(kAtoH, 2, false));
    ra.WaitUntilIdle();
    EXPECT_EQ(faulty.Decoded(), (Names{L"b"}));
}

// A file that could not be read or did not fit is not remembered: the step decodes it, and
// a later plan tries it again.
TEST(ReadAhead, FailuresThatMayPassAndTheBudget)
{
    FakeFolder folder(kAtoH);
    folder.status = {{L"b", DecodeStatus::Unreadable}};
    folder.bytes = {{L"c", 300}, {L"h", 300}};
    folder.memory = {1600, 1600, false};  // a budget of 800, of which the shown picture takes 100
    ReadAhead ra = folder.Make(1);
    ReadAheadPlan plan = Plan(kAtoH, 0, false);
    plan.nShownBytes = 100;
    ra.SetPlan(plan);
    ra.WaitUntilIdle();
    // b skipped, c fits, and h behind finds no room for a picture of c's size.
    EXPECT_EQ(folder.Decoded(), (Names{L"b", L"c"}));
    for (uint64_t nLimit : folder.limits)
        EXPECT_LE(nLimit, 350u);
    EXPECT_EQ(folder.Take(ra, L"b"), Outcome::None);
    folder.status.clear();
    folder.memory = {1ull << 40, 1ull << 40, false};
    ra.SetPlan(plan);
    ra.WaitUntilIdle();
    EXPECT_EQ(folder.Take(ra, L"b"), Outcome::Picture);
    EXPECT_EQ(folder.Take(ra, L"h"), Outcome::Picture);
    ra.Stop();
    EXPECT_EQ(folder.nLive, 0);
}

// The pool's timing with decodes the test holds: a decode under way is awaited, never started
// twice; the caller helps while steps are pending; results passed are released at once; Stop
// waits only for the decodes under way.
TEST(ReadAhead, AwaitsHelpsReleasesAndStops)
{
    FakeFolder folder(kAtoH);
    folder.Hold(L"b");
    ReadAhead ra = folder.Make(1);
    ra.SetPlan(Plan(kAtoH, 0, false));
    while (folder.Decoded().empty())
        std::this_thread::yield();
    std::thread late([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        folder.Release(L"b");
    });
    // While b decodes on the worker, the caller decodes what lies beyond it, as a step is pending.
    EXPECT_EQ(folder.Take(ra, L"b", [] { return true; }), Outcome::Picture);
    late.join();
    EXPECT_EQ(folder.Decoded(), (Names{L"b", L"c", L"d", L"h"}));
    EXPECT_EQ(ra.GetCounts().nHelped, 3u);
    ra.SetPlan(Plan(kAtoH, 1, false));
    ra.WaitUntilIdle();
    EXPECT_EQ(folder.Decoded(), (Names{L"b", L"c", L"d", L"h", L"a"}));
    EXPECT_EQ(ra.GetCounts().nPictures, 3u);
    folder.Hold(L"e");
    ra.SetPlan(Plan(kAtoH, 3, false));  // on d: a passed, c kept behind, e under way
    EXPECT_EQ(ra.GetCounts().nPictures, 1u);
    while (folder.Decoded().size() < 6)
        std::this_thread::yield();
    std::thread later([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        folder.Release(L"e");
    });
    ra.Stop();  // waits for e, starts nothing more
    later.join();
    EXPECT_EQ(folder.Decoded().back(), L"e");
    EXPECT_EQ(folder.nLive, 0);
}

// The share a worker gives a decode covers the file's bytes: a file larger than any share is
// left to the step untouched. Each worker is told of the flag Stop sets, so a long read gives up.
TEST(ReadAhead, CountsTheFilesBytesAndTellsEachWorkerOfTheStop)
{
    FakeFolder folder(kAtoH);
    folder.sizes[L"c"] = 1000;
    folder.memory = {1600, 1600, false};  // a budget of 800
    ReadAhead ra = folder.Make(1);
    ra.SetPlan(Plan(kAtoH, 0, false));
    ra.WaitUntilIdle();
    const Names decoded = folder.Decoded();
    EXPECT_EQ(std::count(decoded.begin(), decoded.end(), L"c"), 0);
    EXPECT_EQ(std::count(decoded.begin(), decoded.end(), L"b"), 1);
    EXPECT_EQ(folder.Take(ra, L"c"), Outcome::None);
    ASSERT_EQ(folder.stopFlags.size(), 1u);
    EXPECT_FALSE(*folder.stopFlags[0]);
    EXPECT_TRUE(ra.Stop());
    EXPECT_TRUE(*folder.stopFlags[0]);
}
