#include <gtest/gtest.h>

#include <iterator>
#include <set>
#include <utility>
#include <vector>

#include "images/folder/navigation.h"

namespace {

using Call = std::pair<std::wstring, int>;
using Calls = std::vector<Call>;
using Names = std::vector<std::wstring>;

constexpr int kNoEntry = -1;

// A folder list with its current position, and a loader that decodes only the names in `good`
// and records every attempt with its marker.
struct Folder {
    std::list<std::wstring> list;
    std::list<std::wstring>::iterator itCurrent;
    std::set<std::wstring> good;
    Calls calls;

    Folder(const Names& names, int nCurrent, std::set<std::wstring> decodable)
        : list(names.begin(), names.end()), good(std::move(decodable))
    {
        itCurrent = nCurrent == kNoEntry ? list.end() : std::next(list.begin(), nCurrent);
    }

    auto Loader()
    {
        return [this](const std::wstring& name, int marker) {
            calls.emplace_back(name, marker);
            return good.count(name) ? 0 : -1;
        };
    }
    bool Next() { return WalkNext(list, itCurrent, Loader()); }
    bool Prev() { return WalkPrev(list, itCurrent, Loader()); }
    bool First() { return WalkFirst(list, itCurrent, Loader()); }
    bool Last() { return WalkLast(list, itCurrent, Loader()); }

    Names Entries() const { return {list.begin(), list.end()}; }
    std::wstring Current() const { return itCurrent == list.end() ? L"<end>" : *itCurrent; }
};

const std::set<std::wstring> kAllGood{L"a", L"b", L"c", L"d"};

} // namespace

TEST(Navigation, OrdinaryStepsCarryNoMarker)
{
    Folder f({L"a", L"b", L"c"}, 1, kAllGood);
    EXPECT_TRUE(f.Next());
    EXPECT_EQ(f.Current(), L"c");
    EXPECT_TRUE(f.Prev());
    EXPECT_TRUE(f.Prev());
    EXPECT_EQ(f.Current(), L"a");
    EXPECT_EQ(f.calls, (Calls{{L"c", 0}, {L"b", 0}, {L"a", 0}}));
    EXPECT_EQ(f.Entries(), (Names{L"a", L"b", L"c"}));
}

TEST(Navigation, WrapAroundCarriesMarker)
{
    Folder last({L"a", L"b", L"c"}, 2, kAllGood);
    EXPECT_TRUE(last.Next());
    EXPECT_EQ(last.Current(), L"a");
    EXPECT_EQ(last.calls, (Calls{{L"a", 2}}));  // "BoF"

    Folder first({L"a", L"b", L"c"}, 0, kAllGood);
    EXPECT_TRUE(first.Prev());
    EXPECT_EQ(first.Current(), L"c");
    EXPECT_EQ(first.calls, (Calls{{L"c", 1}}));  // "EoF"
}

TEST(Navigation, UndecodableEntriesAreErasedAndMarkerStaysAfterWrap)
{
    // Next from c: d fails before the wrap, a fails after it, b loads still marked.
    Folder next({L"a", L"b", L"c", L"d"}, 2, {L"b", L"c"});
    EXPECT_TRUE(next.Next());
    EXPECT_EQ(next.calls, (Calls{{L"d", 0}, {L"a", 2}, {L"b", 2}}));
    EXPECT_EQ(next.Current(), L"b");
    EXPECT_EQ(next.Entries(), (Names{L"b", L"c"}));

    Folder prev({L"a", L"b", L"c", L"d"}, 1, {L"b", L"c"});
    EXPECT_TRUE(prev.Prev());
    EXPECT_EQ(prev.calls, (Calls{{L"a", 0}, {L"d", 1}, {L"c", 1}}));
    EXPECT_EQ(prev.Current(), L"c");
    EXPECT_EQ(prev.Entries(), (Names{L"b", L"c"}));
}

TEST(Navigation, AllOthersUndecodableComesBackToCurrent)
{
    Folder next({L"a", L"b", L"c", L"d"}, 1, {L"b"});
    EXPECT_FALSE(next.Next());
    EXPECT_EQ(next.calls, (Calls{{L"c", 0}, {L"d", 0}, {L"a", 2}}));
    EXPECT_EQ(next.Entries(), (Names{L"b"}));
    EXPECT_EQ(next.Current(), L"b");

    Folder prev({L"a", L"b", L"c", L"d"}, 2, {L"c"});
    EXPECT_FALSE(prev.Prev());
    EXPECT_EQ(prev.calls, (Calls{{L"b", 0}, {L"a", 0}, {L"d", 1}}));
    EXPECT_EQ(prev.Entries(), (Names{L"c"}));
    EXPECT_EQ(prev.Current(), L"c");
}

TEST(Navigation, FirstAndLastWalkTowardCurrent)
{
    Folder first({L"a", L"b", L"c", L"d"}, 3, {L"c", L"d"});
    EXPECT_TRUE(first.First());
    EXPECT_EQ(first.calls, (Calls{{L"a", 0}, {L"b", 0}, {L"c", 0}}));
    EXPECT_EQ(first.Current(), L"c");
    EXPECT_EQ(first.Entries(), (Names{L"c", L"d"}));

    Folder last({L"a", L"b", L"c", L"d"}, 0, {L"a", L"b"});
    EXPECT_TRUE(last.Last());
    EXPECT_EQ(last.calls, (Calls{{L"d", 0}, {L"c", 0}, {L"b", 0}}));
    EXPECT_EQ(last.Current(), L"b");
    EXPECT_EQ(last.Entries(), (Names{L"a", L"b"}));

    // Nothing before the current entry decodes: the walk stops on it without reloading it.
    Folder none({L"a", L"b", L"c"}, 2, {L"c"});
    EXPECT_FALSE(none.First());
    EXPECT_EQ(none.calls, (Calls{{L"a", 0}, {L"b", 0}}));
    EXPECT_EQ(none.Entries(), (Names{L"c"}));
    EXPECT_EQ(none.Current(), L"c");
}

TEST(Navigation, NothingToDoLoadsNothing)
{
    Folder onFirst({L"a", L"b"}, 0, kAllGood);
    EXPECT_FALSE(onFirst.First());
    Folder onLast({L"a", L"b"}, 1, kAllGood);
    EXPECT_FALSE(onLast.Last());

    Folder single({L"a"}, 0, kAllGood);
    EXPECT_FALSE(single.Next());
    EXPECT_FALSE(single.Prev());
    EXPECT_FALSE(single.First());
    EXPECT_FALSE(single.Last());

    Folder empty({}, kNoEntry, kAllGood);
    EXPECT_FALSE(empty.Next());
    EXPECT_FALSE(empty.Prev());
    EXPECT_FALSE(empty.First());
    EXPECT_FALSE(empty.Last());

    for (const Folder* f : {&onFirst, &onLast, &single, &empty})
        EXPECT_TRUE(f->calls.empty());
    EXPECT_EQ(single.Entries(), (Names{L"a"}));
    EXPECT_EQ(single.Current(), L"a");
}

TEST(Navigation, WithoutEntryNextAndPrevStartAtTheEndsUnmarked)
{
    Folder next({L"a", L"b", L"c"}, kNoEntry, {L"b", L"c"});
    EXPECT_TRUE(next.Next());
    EXPECT_EQ(next.calls, (Calls{{L"a", 0}, {L"b", 0}}));
    EXPECT_EQ(next.Current(), L"b");
    EXPECT_EQ(next.Entries(), (Names{L"b", L"c"}));

    Folder prev({L"a", L"b", L"c"}, kNoEntry, {L"a", L"b"});
    EXPECT_TRUE(prev.Prev());
    EXPECT_EQ(prev.calls, (Calls{{L"c", 0}, {L"b", 0}}));
    EXPECT_EQ(prev.Current(), L"b");

    Folder first({L"a", L"b"}, kNoEntry, kAllGood);
    EXPECT_TRUE(first.First());
    EXPECT_EQ(first.Current(), L"a");
    Folder last({L"a", L"b"}, kNoEntry, kAllGood);
    EXPECT_TRUE(last.Last());
    EXPECT_EQ(last.Current(), L"b");
}

TEST(Navigation, WithoutEntryAWalkOverNothingDecodableEmptiesTheList)
{
    // The end position stops each walk after one pass, with no wrap and no marker.
    const Calls forward{{L"a", 0}, {L"b", 0}, {L"c", 0}};
    const Calls backward{{L"c", 0}, {L"b", 0}, {L"a", 0}};
    struct Case {
        bool (Folder::*walk)();
        const Calls& expected;
    };
    for (const Case& c : {Case{&Folder::Next, forward}, Case{&Folder::Prev, backward},
                          Case{&Folder::First, forward}, Case{&Folder::Last, backward}}) {
        Folder f({L"a", L"b", L"c"}, kNoEntry, {});
        EXPECT_FALSE((f.*c.walk)());
        EXPECT_EQ(f.calls, c.expected);
        EXPECT_TRUE(f.list.empty());
        EXPECT_EQ(f.itCurrent, f.list.end());
    }

    Folder one({L"a"}, kNoEntry, {});
    EXPECT_FALSE(one.Prev());
    EXPECT_EQ(one.calls, (Calls{{L"a", 0}}));
    EXPECT_TRUE(one.list.empty());
}
