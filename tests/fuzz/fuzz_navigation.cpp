// The folder list: walks over a list with undecodable entries, and its rebuild and order.
// Input (FuzzedDataProvider): first byte picks the part (even: walks, odd: rebuild and order).
// Walks: up to 24 names, one "decodes" bit per entry, a start position from 0 to the size (the
// size being the end position), whether answers come from the input instead of the bits (a file
// that changes between attempts), then up to 64 walks, two bits each (Next, Prev, First, Last).
// Rebuild: up to 24 enumerated entries (name, directory bit), the current name (either a copy of
// one entry with its ASCII case changed, or a name of its own), then names for order checks.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <list>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "app/command_line.h"
#include "images/folder/file_order.h"
#include "images/folder/navigation.h"

#include "tests/fuzz/fuzz_check.h"

namespace {

using FileList = std::list<std::wstring>;
using FileIt = FileList::iterator;

// A name of up to 12 UTF-16 code units, mostly from a small alphabet so that equal and
// case-equal names are common, sometimes any unit (surrogates included).
std::wstring ConsumeName(FuzzedDataProvider& in)
{
    static constexpr wchar_t kAlphabet[] = L"aAbB._~1\u00E9\u00C9";
    std::wstring name;
    const size_t n = in.ConsumeIntegralInRange<size_t>(0, 12);
    for (size_t i = 0; i < n; ++i) {
        const uint8_t pick = in.ConsumeIntegral<uint8_t>();
        if (pick < 200)
            name += kAlphabet[pick % (std::size(kAlphabet) - 1)];
        else
            name += static_cast<wchar_t>(in.ConsumeIntegral<uint16_t>());
    }
    return name;
}

int Sign(int v)
{
    return (v > 0) - (v < 0);
}

// ---------------------------------------------------------------------------------------------
// Walks

enum class Walk { Next, Prev, First, Last };

struct Call {
    int id;
    int marker;
    int answer;
};

// The order in which a walk tries entries (indices of the list before the walk), with the
// wrap marker each attempt carries: the ring of entries from the current place on, the end
// position being the place between the last entry and the first.
std::vector<std::pair<size_t, int>> ExpectedAttempts(Walk walk, size_t n, size_t cur)
{
    std::vector<std::pair<size_t, int>> order;
    const bool bAtEnd = cur == n;
    switch (walk) {
    case Walk::Next:
        if (bAtEnd) {
            for (size_t i = 0; i < n; ++i)
                order.emplace_back(i, 0);
        } else {
            for (size_t i = cur + 1; i < n; ++i)
                order.emplace_back(i, 0);
            for (size_t i = 0; i < cur; ++i)
                order.emplace_back(i, 2);
        }
        break;
    case Walk::Prev:
        if (bAtEnd) {
            for (size_t i = n; i-- > 0;)
                order.emplace_back(i, 0);
        } else {
            for (size_t i = cur; i-- > 0;)
                order.emplace_back(i, 0);
            for (size_t i = n; i-- > cur + 1;)
                order.emplace_back(i, 1);
        }
        break;
    case Walk::First:
        for (size_t i = 0; i < cur; ++i)
            order.emplace_back(i, 0);
        break;
    case Walk::Last:
        for (size_t i = n; i-- > cur + 1;)
            order.emplace_back(i, 0);
        if (bAtEnd) {
            for (size_t i = n; i-- > 0;)
                order.emplace_back(i, 0);
        }
        break;
    }
    return order;
}

void FuzzWalks(FuzzedDataProvider& in)
{
    FileList list;
    std::vector<bool> decodes;
    const size_t nNames = in.ConsumeIntegralInRange<size_t>(0, 24);
    for (size_t i = 0; i < nNames; ++i) {
        list.push_back(ConsumeName(in));
        decodes.push_back(in.ConsumeBool());
    }
    // Entries are told apart by their node, since names may repeat.
    std::map<const std::wstring*, int> idOf;
    int nextId = 0;
    for (const std::wstring& name : list)
        idOf[&name] = nextId++;
    auto ids = [&] {
        std::vector<int> v;
        for (const std::wstring& name : list)
            v.push_back(idOf.at(&name));
        return v;
    };

    FileIt itCurrent = std::next(list.begin(), static_cast<std::ptrdiff_t>(in.ConsumeIntegralInRange<size_t>(0, nNames)));
    const bool bFlaky = in.ConsumeBool();

    for (int nWalk = 0; nWalk < 64 && in.remaining_bytes() > 0; ++nWalk) {
        const Walk walk = static_cast<Walk>(in.ConsumeIntegralInRange<int>(0, 3));
        const std::vector<int> before = ids();
        const size_t n = before.size();
        const size_t cur = static_cast<size_t>(std::distance(list.begin(), itCurrent));
        const FileIt itBefore = itCurrent;

        std::vector<Call> calls;
        auto load = [&](const std::wstring& name, int marker) {
            const auto found = idOf.find(&name);
            FUZZ_CHECK(found != idOf.end());
            FUZZ_CHECK(calls.size() < n);  // never more attempts than entries
            const bool bOk = bFlaky ? in.ConsumeBool() : static_cast<bool>(decodes[static_cast<size_t>(found->second)]);
            calls.push_back({found->second, marker, bOk ? 0 : -1});
            return bOk ? 0 : -1;
        };
        bool bLoaded = false;
        switch (walk) {
        case Walk::Next:
            bLoaded = WalkNext(list, itCurrent, load);
            break;
        case Walk::Prev:
            bLoaded = WalkPrev(list, itCurrent, load);
            break;
        case Walk::First:
            bLoaded = WalkFirst(list, itCurrent, load);
            break;
        case Walk::Last:
            bLoaded = WalkLast(list, itCurrent, load);
            break;
        }

        // The attempts follow the ring from the current place and stop at the first success.
        const auto expected = ExpectedAttempts(walk, n, cur);
        FUZZ_CHECK(calls.size() <= expected.size());
        for (size_t i = 0; i < calls.size(); ++i) {
            FUZZ_CHECK(calls[i].id == before[expected[i].first]);
            FUZZ_CHECK(calls[i].marker == expected[i].second);
            FUZZ_CHECK((calls[i].answer == 0) == (i + 1 == calls.size() && bLoaded));
        }
        if (!bLoaded)
            FUZZ_CHECK(calls.size() == expected.size());

        // A success ends on the entry that loaded; otherwise the place is unchanged.
        if (bLoaded) {
            FUZZ_CHECK(itCurrent != list.end());
            FUZZ_CHECK(idOf.at(&*itCurrent) == calls.back().id);
        } else {
            FUZZ_CHECK(itCurrent == itBefore);
        }

        // Exactly the failed entries are gone; the others keep their order.
        std::set<int> failed;
        for (const Call& call : calls) {
            if (call.answer != 0)
                failed.insert(call.id);
        }
        std::vector<int> remaining;
        for (int id : before) {
            if (!failed.count(id))
                remaining.push_back(id);
        }
        FUZZ_CHECK(ids() == remaining);
        if (itCurrent != list.end())
            FUZZ_CHECK(!failed.count(idOf.at(&*itCurrent)));
    }
}

// ---------------------------------------------------------------------------------------------
// Rebuild and order

// Code-unit order of UTF-16 text with 'A'-'Z' folded, as a reference.
std::vector<uint32_t> Utf16Keys(const std::wstring& s)
{
    std::vector<uint32_t> keys;
    for (wchar_t c : s) {
        uint32_t u = static_cast<uint32_t>(c);
        if (u >= 0x10000) {  // a whole code point where wchar_t is 32-bit
            u -= 0x10000;
            keys.push_back(0xD800 + (u >> 10));
            keys.push_back(0xDC00 + (u & 0x3FF));
            continue;
        }
        keys.push_back(u >= L'A' && u <= L'Z' ? u - L'A' + L'a' : u);
    }
    return keys;
}

// Whole code points beside lone surrogates are no text any file system gives; there the
// reference is not meaningful.
bool MixesCodePointsAndSurrogates(const std::wstring& a, const std::wstring& b)
{
    auto has = [](const std::wstring& s, uint32_t lo, uint32_t hi) {
        return std::any_of(s.begin(), s.end(), [=](wchar_t c) {
            return static_cast<uint32_t>(c) >= lo && static_cast<uint32_t>(c) <= hi;
        });
    };
    const bool bCodePoints = has(a, 0x10000, 0xFFFFFFFF) || has(b, 0x10000, 0xFFFFFFFF);
    const bool bSurrogates = has(a, 0xD800, 0xDFFF) || has(b, 0xD800, 0xDFFF);
    return bCodePoints && bSurrogates;
}

void CheckOrderTriple(const std::wstring& a, const std::wstring& b, const std::wstring& c)
{
    const int ab = CompareFileNames(a, b);
    FUZZ_CHECK(CompareFileNames(a, a) == 0);
    FUZZ_CHECK(Sign(ab) == -Sign(CompareFileNames(b, a)));
    FUZZ_CHECK(FileNameLess(a, b) == (ab < 0));
    FUZZ_CHECK(FileNamesEqualNoCase(a, b) == (ab == 0));
    FUZZ_CHECK(FileNamesEqualNoCase(a, b) == EqualsNoCaseAscii(a, b));
    if (!MixesCodePointsAndSurrogates(a, b)) {
        const std::vector<uint32_t> ka = Utf16Keys(a), kb = Utf16Keys(b);
        FUZZ_CHECK(Sign(ab) == (ka < kb ? -1 : (kb < ka ? 1 : 0)));
    }
    if (ab <= 0 && CompareFileNames(b, c) <= 0)
        FUZZ_CHECK(CompareFileNames(a, c) <= 0);
    if (a.size() < b.size() && b.compare(0, a.size(), a) == 0)
        FUZZ_CHECK(ab < 0);
}

std::wstring ChangeAsciiCase(std::wstring s, uint32_t mask)
{
    for (size_t i = 0; i < s.size(); ++i) {
        if (!((mask >> (i % 32)) & 1))
            continue;
        if (s[i] >= L'a' && s[i] <= L'z')
            s[i] = static_cast<wchar_t>(s[i] - L'a' + L'A');
        else if (s[i] >= L'A' && s[i] <= L'Z')
            s[i] = static_cast<wchar_t>(s[i] - L'A' + L'a');
    }
    return s;
}

void FuzzRebuild(FuzzedDataProvider& in)
{
    struct Entry {
        std::wstring name;
        bool bDirectory;
    };
    std::vector<Entry> entries;
    const size_t nEntries = in.ConsumeIntegralInRange<size_t>(0, 24);
    for (size_t i = 0; i < nEntries; ++i)
        entries.push_back({ConsumeName(in), in.ConsumeBool()});
    std::wstring currentName;
    if (!entries.empty() && in.ConsumeBool()) {
        const Entry& e = entries[in.ConsumeIntegralInRange<size_t>(0, entries.size() - 1)];
        currentName = ChangeAsciiCase(e.name, in.ConsumeIntegral<uint32_t>());
    } else {
        currentName = ConsumeName(in);
    }

    // Start from a stale list, as a rescan does.
    FileList list{L"stale", L"list"};
    FileIt itCurrent = list.begin();
    size_t nNext = 0;
    RebuildFileList(list, itCurrent, currentName, [&](std::wstring& name, bool& bDirectory) {
        if (nNext == entries.size())
            return false;
        name = entries[nNext].name;
        bDirectory = entries[nNext].bDirectory;
        ++nNext;
        return true;
    });

    // The files, stably sorted: equal names keep the enumeration's order.
    std::vector<std::wstring> files;
    for (const Entry& e : entries) {
        if (!e.bDirectory)
            files.push_back(e.name);
    }
    std::stable_sort(files.begin(), files.end(),
                     [](const std::wstring& a, const std::wstring& b) { return FileNameLess(a, b); });
    FUZZ_CHECK(std::vector<std::wstring>(list.begin(), list.end()) == files);
    for (auto it = list.begin(); it != list.end() && std::next(it) != list.end(); ++it)
        FUZZ_CHECK(CompareFileNames(*it, *std::next(it)) <= 0);

    // The current entry is the first match in the enumeration, which stability keeps first
    // among its equals in the list.
    const FileIt itMatch = std::find_if(list.begin(), list.end(),
                                        [&](const std::wstring& name) { return EqualsNoCaseAscii(name, currentName); });
    bool bValid = itCurrent == list.end();
    for (auto it = list.begin(); it != list.end(); ++it)
        bValid = bValid || it == itCurrent;
    FUZZ_CHECK(bValid);
    FUZZ_CHECK(itCurrent == itMatch);

    // Order relations on the listed names and a few more.
    std::vector<std::wstring> names(list.begin(), list.end());
    names.push_back(currentName);
    while (names.size() < 40 && in.remaining_bytes() > 0) {
        std::wstring name = ConsumeName(in);
        if constexpr (sizeof(wchar_t) > 2) {
            // Whole code points, as a 32-bit wchar_t may hold them.
            if (in.ConsumeBool())
                name += static_cast<wchar_t>(in.ConsumeIntegralInRange<uint32_t>(0x10000, 0x10FFFF));
        }
        names.push_back(std::move(name));
    }
    for (size_t i = 0; i < names.size(); ++i)
        CheckOrderTriple(names[i], names[(i + 1) % names.size()], names[(i + 2) % names.size()]);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    if (in.ConsumeIntegral<uint8_t>() % 2 == 0)
        FuzzWalks(in);
    else
        FuzzRebuild(in);
    return 0;
}
