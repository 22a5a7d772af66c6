#include <gtest/gtest.h>

#include <atomic>
#include <iterator>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "images/decode/read_ahead.h"

namespace {

using Names = std::vector<std::wstring>;
using Outcome = ReadAhead::Outcome;
const Names kAtoF{L"a", L"b", L"c", L"d", L"e", L"f"};

// A folder of fake pictures: each decoded one must end either handed over or released.
struct FakeFolder {
    std::mutex mutex;
    std::set<std::wstring> good;
    std::map<std::wstring, uint64_t> bytes, sizes;  // a name without a size doesn't exist
    Names decoded;
    std::atomic<int> nLive{0};

    ReadAhead Make(uint64_t nBudget)
    {
        ReadAheadHooks hooks;
        hooks.decode = [this](const std::wstring& path, bool, uint64_t& nBytes) -> void* {
            std::lock_guard<std::mutex> lock(mutex);
            decoded.push_back(path.substr(2));
            nBytes = bytes.count(path) ? bytes[path] : 100;
            return good.count(path) ? (++nLive, new std::wstring(path)) : nullptr;
        };
        hooks.release = [this](void* p) { --nLive, delete static_cast<std::wstring*>(p); };
        hooks.stamp = [this](const std::wstring& path) {
            std::lock_guard<std::mutex> lock(mutex);
            return FileStamp{sizes.count(path) != 0, sizes.count(path) ? sizes[path] : 0, 0};
        };
        return ReadAhead(std::move(hooks), nBudget);
    }
    FakeFolder(const Names& names, const std::set<std::wstring>& bad)
    {
        for (const std::wstring& name : names) {
            sizes[L"F\\" + name] = 1;
            if (!bad.count(name))
                good.insert(L"F\\" + name);
        }
    }
    Outcome Take(ReadAhead& ra, const std::wstring& name)
    {
        void* p = nullptr;
        const Outcome outcome = ra.Take(L"F\\", name, true, p);
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

TEST(ReadAhead, PreparesTheNearestDecodableEachWayAndHandsOverOnlyTheSameFile)
{
    FakeFolder folder(kAtoF, {L"c", L"e"});
    {
        ReadAhead ra = folder.Make(1000);
        ra.SetPlan(Plan(kAtoF, 1, false));  // on b, going forward
        ra.WaitUntilIdle();
        EXPECT_EQ(folder.decoded, (Names{L"c", L"d", L"a"}));  // past the failure, then the other way
        EXPECT_EQ(folder.Take(ra, L"c"), Outcome::Failure);
        folder.sizes[L"F\\d"] = 2;  // d was rewritten since: the caller decodes it again
        EXPECT_EQ(folder.Take(ra, L"d"), Outcome::None);
        EXPECT_EQ(folder.Take(ra, L"a"), Outcome::Picture);
        EXPECT_EQ(folder.Take(ra, L"a"), Outcome::None);  // handed over once

        ra.SetPlan(Plan(kAtoF, 3, false));  // on d: e fails, f ahead, b behind
        ra.WaitUntilIdle();
        EXPECT_EQ(ra.GetCounts().nPictures, 2u);
        ra.DropAll();
        EXPECT_EQ(folder.nLive, 0);
        ra.SetPlan(Plan(kAtoF, 0, true));
        ra.Stop();  // joins after at most the decode under way, and drops what it holds
        EXPECT_EQ(folder.nLive, 0);
    }
    EXPECT_EQ(folder.nLive, 0);
}

TEST(ReadAhead, KeepsNothingOverTheBudget)
{
    FakeFolder folder({L"a", L"b", L"c", L"d"}, {});
    folder.bytes = {{L"F\\b", 900}, {L"F\\c", 5000}, {L"F\\d", 200}};
    ReadAhead ra = folder.Make(1000);
    ra.SetPlan(Plan({L"a", L"b", L"c", L"d"}, 0, false));
    ra.WaitUntilIdle();
    // b fits alone; d, behind, would take the two past the budget.
    EXPECT_EQ(folder.Take(ra, L"d"), Outcome::None);
    EXPECT_EQ(folder.Take(ra, L"b"), Outcome::Picture);
    folder.sizes.erase(L"F\\a");
    ra.SetPlan(Plan({L"a", L"b", L"c", L"d"}, 1, false));
    ra.WaitUntilIdle();
    EXPECT_EQ(folder.Take(ra, L"c"), Outcome::None);      // too big to keep at all
    EXPECT_EQ(folder.Take(ra, L"a"), Outcome::Failure);   // a missing file
    ra.Stop();
    EXPECT_EQ(folder.nLive, 0);
}
