#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <limits>
#include <string>

#include "images/ahead/first_picture.h"

namespace {

using Outcome = ReadAhead::Outcome;

// What the window's start can't show: a load of another file, or of the same file turned
// otherwise, decodes it itself; only the first load is answered; every failure is the load's;
// and every picture made ends taken or released.
TEST(FirstPicture, ServesOnlyTheFirstLoadOfTheSameFileAskedTheSameWayAndReleasesTheRest)
{
    std::atomic<int> nLive{0};
    DecodeStatus status = DecodeStatus::Decoded;
    ReadAheadHooks hooks;
    hooks.decode = [&](const std::wstring& path, bool, uint64_t) {
        ReadAheadHooks::Decoded d;
        d.status = status;
        if (status == DecodeStatus::Decoded)
            d.pPicture = (++nLive, new std::wstring(path));
        return d;
    };
    hooks.release = [&](void* p) { --nLive, delete static_cast<std::wstring*>(p); };
    hooks.stamp = [](const std::wstring&) { return FileStamp{true, 7, 0}; };
    {
        FirstPicture first(hooks, L"C:\\p\\a.jpg", true);
        void* p = nullptr;
        ASSERT_EQ(first.Take(L"C:\\p\\a.jpg", true, p), Outcome::Picture);
        EXPECT_EQ(*static_cast<std::wstring*>(p), L"C:\\p\\a.jpg");
        hooks.release(p);
        EXPECT_EQ(first.Take(L"C:\\p\\a.jpg", true, p), Outcome::None);
        EXPECT_EQ(p, nullptr);
    }
    for (const bool bSameFile : {false, true}) {
        FirstPicture first(hooks, L"C:\\p\\a.jpg", true);
        void* p = nullptr;
        EXPECT_EQ(first.Take(bSameFile ? L"C:\\p\\a.jpg" : L"C:\\p\\b.jpg", !bSameFile, p), Outcome::None);
        EXPECT_EQ(p, nullptr);
    }
    for (DecodeStatus failed : {DecodeStatus::Rejected, DecodeStatus::Faulted, DecodeStatus::NoMemory}) {
        status = failed;
        FirstPicture first(hooks, L"C:\\p\\a.jpg", true);
        void* p = nullptr;
        EXPECT_EQ(first.Take(L"C:\\p\\a.jpg", true, p), Outcome::Failure);
        EXPECT_EQ(p, nullptr);
    }
    status = DecodeStatus::Decoded;
    { FirstPicture unused(hooks, L"C:\\p\\a.jpg", true); }
    EXPECT_EQ(nLive, 0);
}

// The start waits for the thread's set-up, never for its decode (it would hang here), and a
// set-up that doesn't end holds the start up no longer than asked.
TEST(FirstPicture, WaitStartedReturnsOnceTheThreadIsSetUpWhileItsDecodeStillRuns)
{
    std::promise<void> setUpMay, decodeMay;
    const std::shared_future<void> setUp = setUpMay.get_future().share(), decode = decodeMay.get_future().share();
    std::atomic<bool> bSetUp{false};
    ReadAheadHooks hooks;
    hooks.onThreadStart = [&] { return setUp.wait(), bSetUp = true; };
    hooks.decode = [&](const std::wstring&, bool, uint64_t) {
        decode.wait();
        return ReadAheadHooks::Decoded{nullptr, 0, DecodeStatus::Rejected};
    };
    hooks.stamp = [](const std::wstring&) { return FileStamp{true, 7, 0}; };
    FirstPicture first(hooks, L"C:\\p\\a.jpg", true);
    first.WaitStarted(20);
    setUpMay.set_value();
    first.WaitStarted(std::numeric_limits<unsigned>::max());
    EXPECT_TRUE(bSetUp);
    decodeMay.set_value();
    void* p = nullptr;
    EXPECT_EQ(first.Take(L"C:\\p\\a.jpg", true, p), Outcome::Failure);
}

}  // namespace
