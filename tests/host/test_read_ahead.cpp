#include <gtest/gtest.h>

#include <atomic>
#include <iterator>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "images/read_ahead.h"

namespace {

using Names = std::vector<std::wstring>;

// A folder whose pictures are tracked: every decoded picture must end either taken or released.
struct FakeFolder {
    std::mutex mutex;
    std::set<std::wstring> good;
    std::map<std::wstring, uint64_t> bytes;
    std::map<std::wstring, uint64_t> sizes;  // the file's stamp; missing names don't exist
    std::vector<std::wstring> decoded;
    std::atomic<int> nLive{0};

    ReadAheadHooks Hooks()
    {
        ReadAheadHooks hooks;
        hooks.decode = [this](const std::wstring& path, bool, uint64_t& nBytes) -> void* {
            std::lock_guard<std::mutex> lock(mutex);
            decoded.push_back(path);
            if (!good.count(path))
                return nullptr;
            nBytes = bytes.count(path) ? bytes[path] : 100;
            ++nLive;
            return new std::wstring(path);
        };
        hooks.release = [this](void* p) {
            --nLive;
            delete static_cast<std::wstring*>(p);
        };
        hooks.stamp = [this](const std::wstring& path) {
            std::lock_guard<std::mutex> lock(mutex);
            FileStamp stamp;
            stamp.bExists = sizes.count(path) != 0;
            stamp.nSize = stamp.bExists ? sizes[path] : 0;
            return stamp;
        };
        return hooks;
    }
    void Add(const std::wstring& name, bool bGood)
    {
        sizes[L"F\\" + name] = 1;
        if (bGood)
            good.insert(L"F\\" + name);
    }
};

ReadAheadPlan Plan(const Names& names, int nCurrent, bool bBackward, size_t nMax = 16)
{
    const std::list<std::wstring> list(names.begin(), names.end());
    auto it = nCurrent < 0 ? list.end() : std::next(list.begin(), nCurrent);
    return PlanReadAhead(L"F\\", true, list, it, bBackward, nMax);
}

// Takes the result for a name and gives a picture back as its loader would own it.
ReadAhead::Outcome TakeAndFree(ReadAhead& ra, FakeFolder& folder, const std::wstring& name)
{
    void* p = nullptr;
    const ReadAhead::Outcome outcome = ra.Take(L"F\\", name, true, p);
    if (p) {
        --folder.nLive;
        delete static_cast<std::wstring*>(p);
    }
    return outcome;
}

}  // namespace

TEST(ReadAheadPlan, FollowsTheWalksOrderBothWaysAroundTheRing)
{
    const Names abcd{L"a", L"b", L"c", L"d"};
    EXPECT_EQ(Plan(abcd, 1, false).ahead, (Names{L"c", L"d", L"a"}));
    EXPECT_EQ(Plan(abcd, 1, false).behind, (Names{L"a", L"d", L"c"}));
    EXPECT_EQ(Plan(abcd, 1, true).ahead, (Names{L"a", L"d", L"c"}));
    // The end position lies after the last entry and before the first: no wrap past it.
    EXPECT_EQ(Plan(abcd, -1, false).ahead, abcd);
    EXPECT_EQ(Plan(abcd, -1, false).behind, (Names{L"d", L"c", L"b", L"a"}));
    EXPECT_EQ(Plan(abcd, 3, false, 2).ahead, (Names{L"a", L"b"}));
    EXPECT_TRUE(Plan({L"a"}, 0, false).ahead.empty());
    EXPECT_TRUE(Plan({}, -1, false).behind.empty());
}

TEST(ReadAhead, PreparesTheFirstDecodableEachWayAndHandsOverOnlyTheSameFile)
{
    FakeFolder folder;
    for (const wchar_t* name : {L"a", L"b", L"c", L"d", L"e", L"f"})
        folder.Add(name, std::wstring(name) != L"c" && std::wstring(name) != L"e");
    {
        ReadAhead ra(folder.Hooks(), 1000);
        ra.SetPlan(Plan({L"a", L"b", L"c", L"d", L"e", L"f"}, 1, false));  // on b, going forward
        ra.WaitUntilIdle();
        // Forward: c fails, d decodes; backward: a. Nothing past them.
        EXPECT_EQ(folder.decoded, (Names{L"F\\c", L"F\\d", L"F\\a"}));
        EXPECT_EQ(ra.GetCounts().nPictures, 2u);
        EXPECT_EQ(ra.GetCounts().nFailures, 1u);

        EXPECT_EQ(TakeAndFree(ra, folder, L"c"), ReadAhead::Outcome::Failure);
        folder.sizes[L"F\\d"] = 2;  // d was rewritten since: decoded again by the caller
        EXPECT_EQ(TakeAndFree(ra, folder, L"d"), ReadAhead::Outcome::None);
        EXPECT_EQ(TakeAndFree(ra, folder, L"x"), ReadAhead::Outcome::None);
        EXPECT_EQ(TakeAndFree(ra, folder, L"a"), ReadAhead::Outcome::Picture);
        EXPECT_EQ(TakeAndFree(ra, folder, L"a"), ReadAhead::Outcome::None);  // handed over once

        // On d now, going forward: e fails, f decodes; b behind. The walk left a behind.
        ra.SetPlan(Plan({L"a", L"b", L"c", L"d", L"e", L"f"}, 3, false));
        ra.WaitUntilIdle();
        EXPECT_EQ(ra.GetCounts().nPictures, 2u);
        EXPECT_EQ(folder.nLive, 2);
        ra.DropAll();
        EXPECT_EQ(folder.nLive, 0);

        ra.SetPlan(Plan({L"a", L"b", L"c", L"d", L"e", L"f"}, 0, true));
        ra.Stop();  // joins and drops what it holds
        EXPECT_EQ(folder.nLive, 0);
        ra.SetPlan(Plan({L"a", L"b"}, 0, false));  // a stopped worker stays stopped
        EXPECT_EQ(ra.GetCounts().nPictures, 0u);
    }
    EXPECT_EQ(folder.nLive, 0);
}

TEST(ReadAhead, KeepsNothingOverTheBudgetAndNeverMoreThanTwoPictures)
{
    FakeFolder folder;
    for (const wchar_t* name : {L"a", L"b", L"c", L"d"})
        folder.Add(name, true);
    folder.bytes[L"F\\b"] = 900;
    folder.bytes[L"F\\d"] = 200;
    ReadAhead ra(folder.Hooks(), 1000);
    ra.SetPlan(Plan({L"a", L"b", L"c", L"d"}, 0, false));
    ra.WaitUntilIdle();
    // b fits alone; d, behind, would take the two over the budget; a missing file is a failure.
    EXPECT_EQ(ra.GetCounts().nPictures, 1u);
    EXPECT_EQ(TakeAndFree(ra, folder, L"d"), ReadAhead::Outcome::None);
    EXPECT_EQ(TakeAndFree(ra, folder, L"b"), ReadAhead::Outcome::Picture);

    folder.bytes[L"F\\c"] = 5000;
    folder.sizes.erase(L"F\\a");
    ra.SetPlan(Plan({L"a", L"b", L"c", L"d"}, 1, false));
    ra.WaitUntilIdle();
    EXPECT_EQ(TakeAndFree(ra, folder, L"c"), ReadAhead::Outcome::None);  // too big to keep
    EXPECT_EQ(TakeAndFree(ra, folder, L"a"), ReadAhead::Outcome::Failure);
    ra.Stop();
    EXPECT_EQ(folder.nLive, 0);
}
