#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "images/decode/first_touch.h"

// A byte on every page of the range, alone or on two threads, however it is aligned; none outside.
TEST(FirstTouch, WritesOnEveryPageOfTheRangeAndNothingOutside)
{
    for (const size_t nMinParallel : {size_t{1}, ~size_t{0}}) {
        std::vector<uint8_t> bytes(16 * 64, 0xAB);
        TouchPages(bytes.data() + 3, 16 * 40 + 5, 16, nMinParallel);  // pages 0 to 40 of the vector
        for (size_t page = 0; page < 64; ++page) {
            const bool bTouched = std::count(bytes.begin() + page * 16, bytes.begin() + page * 16 + 16, 0) > 0;
            EXPECT_EQ(bTouched, page <= 40) << "page " << page;
        }
        EXPECT_EQ(bytes[3 + 16 * 40 + 4], 0);
        EXPECT_EQ(bytes[3 + 16 * 40 + 5], 0xAB);
    }
    TouchPages(nullptr, 100, 16, 1);
}
