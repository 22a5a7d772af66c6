#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "images/ahead/first_picture.h"

namespace {

using Outcome = ReadAhead::Outcome;

// One fake file: its stamp is its size, and every picture made must end taken or released.
struct FakeFile {
    std::atomic<uint64_t> nSize{7};
    std::atomic<int> nDecodes{0};
    std::atomic<int> nLive{0};
    DecodeStatus status = DecodeStatus::Decoded;

    ReadAheadHooks Hooks()
    {
        ReadAheadHooks hooks;
        hooks.decode = [this](const std::wstring& path, bool, uint64_t) {
            ++nDecodes;
            ReadAheadHooks::Decoded d;
            d.status = status;
            if (status == DecodeStatus::Decoded)
                d.pPicture = (++nLive, new std::wstring(path));
            return d;
        };
        hooks.release = [this](void* p) { --nLive, delete static_cast<std::wstring*>(p); };
        hooks.stamp = [this](const std::wstring&) { return FileStamp{true, nSize.load(), 0}; };
        return hooks;
    }
};

TEST(FirstPicture, OnlyTheFirstLoadOfTheSameFileAskedTheSameWayWithTheSameStampTakesTheDecode)
{
    FakeFile file;
    {
        FirstPicture first(file.Hooks(), L"C:\\p\\a.jpg", true);
        void* p = nullptr;
        EXPECT_EQ(first.Take(L"C:\\p\\a.jpg", true, p), Outcome::Picture);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(*static_cast<std::wstring*>(p), L"C:\\p\\a.jpg");
        delete static_cast<std::wstring*>(p);
        --file.nLive;
        EXPECT_EQ(first.Take(L"C:\\p\\a.jpg", true, p), Outcome::None);
        EXPECT_EQ(p, nullptr);
    }
    // Another file, the same file turned otherwise, or changed since: the load decodes it, and
    // the start-up picture is released.
    for (int i = 0; i < 3; ++i) {
        FirstPicture first(file.Hooks(), L"C:\\p\\a.jpg", true);
        while (!first.Done())
            std::this_thread::yield();
        void* p = nullptr;
        if (i == 2)
            file.nSize = 8;
        EXPECT_EQ(first.Take(i == 0 ? L"C:\\p\\b.jpg" : L"C:\\p\\a.jpg", i != 1, p), Outcome::None);
        EXPECT_EQ(p, nullptr);
    }
    EXPECT_EQ(file.nLive, 0);
    EXPECT_EQ(file.nDecodes, 4);
}

TEST(FirstPicture, AFailedDecodeIsTheLoadsFailureAndAnUntakenPictureIsReleased)
{
    FakeFile file;
    for (DecodeStatus status : {DecodeStatus::Rejected, DecodeStatus::Faulted, DecodeStatus::NoMemory}) {
        file.status = status;
        FirstPicture first(file.Hooks(), L"C:\\p\\a.jpg", true);
        void* p = nullptr;
        EXPECT_EQ(first.Take(L"C:\\p\\a.jpg", true, p), Outcome::Failure);
        EXPECT_EQ(p, nullptr);
    }
    file.status = DecodeStatus::Decoded;
    { FirstPicture unused(file.Hooks(), L"C:\\p\\a.jpg", true); }
    EXPECT_EQ(file.nLive, 0);
    EXPECT_EQ(file.nDecodes, 4);
}

}  // namespace
