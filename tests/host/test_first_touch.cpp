#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "images/decode/first_touch.h"

// A byte on every page, alone or split between two threads, wherever the range starts and ends;
// no byte outside the range.
TEST(FirstTouch, WritesOnEveryPageOfTheRangeAndNothingOutside)
{
    for (const size_t nMinParallel : {size_t{1}, ~size_t{0}}) {
        for (const size_t nOffset : {size_t{0}, size_t{3}}) {
            std::vector<uint8_t> bytes(16 * 64 + 8, 0xAB);
            const size_t nSize = 16 * 40 + 5;
            TouchPages(bytes.data() + nOffset, nSize, 16, nMinParallel);
            for (size_t page = 0; page < bytes.size() / 16; ++page) {
                size_t nTouched = 0;
                for (size_t i = page * 16; i < page * 16 + 16; ++i)
                    nTouched += bytes[i] == 0;
                const bool bInRange = page * 16 + 15 >= nOffset && page * 16 < nOffset + nSize;
                EXPECT_EQ(nTouched > 0, bInRange) << "page " << page << ", offset " << nOffset;
            }
            EXPECT_EQ(bytes[nOffset + nSize - 1], 0);
            EXPECT_EQ(bytes[nOffset + nSize], 0xAB);
        }
    }
    TouchPages(nullptr, 100, 16, 1);
    std::vector<uint8_t> one(1, 7);
    TouchPages(one.data(), 0, 16, 1);
    EXPECT_EQ(one[0], 7);
}
