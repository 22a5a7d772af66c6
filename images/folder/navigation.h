#pragma once
// Stepping through the folder list: each walk loads the first entry that decodes, erasing
// the entries that don't. load(name, marker) returns 0 on success, -1 on failure; the marker
// is 0 for an ordinary load, 1 after wrapping from the first entry to the last ("EoF") and
// 2 after wrapping from the last to the first ("BoF"). Each walk returns true when a picture
// was loaded, and itCurrent then designates it.
//
// When the picture shown has no entry, itCurrent is end(). The end position is then taken as
// one more place on the ring, after the last entry and before the first: Next starts at the
// first entry and Prev at the last, both without a marker, First and Last walk the whole list,
// and every walk that comes back to the end position stops with nothing loaded. No walk ever
// steps past end() or before begin().
#include <iterator>
#include <list>
#include <string>

namespace navigation_detail {

using FileList = std::list<std::wstring>;
using FileIt = FileList::iterator;

// Tries entries from `it` on, moving with step(it, bWrapped), until one loads or the walk
// meets itCurrent; every entry that fails is erased after the walk has left it.
template <class Step, class L>
bool LoadFirstDecodable(FileList& list, FileIt& itCurrent, FileIt it, bool bWrapped, int nWrapMarker,
                        Step step, L& load)
{
    while (it != itCurrent) {
        if (load(static_cast<const std::wstring&>(*it), bWrapped ? nWrapMarker : 0) == 0) {
            itCurrent = it;
            return true;
        }
        const FileIt itFailed = it;
        step(it, bWrapped);
        list.erase(itFailed);
    }
    return false;
}

} // namespace navigation_detail

template <class L>
bool WalkNext(std::list<std::wstring>& list, std::list<std::wstring>::iterator& itCurrent, L&& load)
{
    using namespace navigation_detail;
    if (list.empty())
        return false;
    // Past the last entry the walk wraps to the first, unless the end position is itself the
    // current place: then it has come around.
    auto step = [&list, &itCurrent](FileIt& it, bool& bWrapped) {
        ++it;
        if (it == list.end() && itCurrent != list.end()) {
            it = list.begin();
            bWrapped = true;
        }
    };
    bool bWrapped = false;
    FileIt it = itCurrent;
    if (it == list.end())
        it = list.begin();
    else
        step(it, bWrapped);
    return LoadFirstDecodable(list, itCurrent, it, bWrapped, 2, step, load);
}

template <class L>
bool WalkPrev(std::list<std::wstring>& list, std::list<std::wstring>::iterator& itCurrent, L&& load)
{
    using namespace navigation_detail;
    if (list.empty())
        return false;
    // Before the first entry lies the end position: the current place when the picture has
    // no entry (the walk has come around), otherwise the way round to the last entry.
    auto step = [&list, &itCurrent](FileIt& it, bool& bWrapped) {
        if (it == list.begin()) {
            it = list.end();
            if (itCurrent == list.end())
                return;
            bWrapped = true;
        }
        --it;
    };
    bool bWrapped = false;
    FileIt it = itCurrent;
    if (it == list.end())
        --it;
    else
        step(it, bWrapped);
    return LoadFirstDecodable(list, itCurrent, it, bWrapped, 1, step, load);
}

template <class L>
bool WalkFirst(std::list<std::wstring>& list, std::list<std::wstring>::iterator& itCurrent, L&& load)
{
    using namespace navigation_detail;
    if (list.empty())
        return false;
    // Forward from the first entry; the end position is only reached when it is itCurrent.
    auto step = [](FileIt& it, bool&) { ++it; };
    return LoadFirstDecodable(list, itCurrent, list.begin(), false, 0, step, load);
}

template <class L>
bool WalkLast(std::list<std::wstring>& list, std::list<std::wstring>::iterator& itCurrent, L&& load)
{
    using namespace navigation_detail;
    if (list.empty())
        return false;
    // Backward from the last entry; stepping back from the first reaches the end position,
    // which only happens when that is itCurrent.
    auto step = [&list](FileIt& it, bool&) {
        if (it == list.begin())
            it = list.end();
        else
            --it;
    };
    return LoadFirstDecodable(list, itCurrent, std::prev(list.end()), false, 0, step, load);
}
