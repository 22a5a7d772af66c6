#include "images/decode/first_touch.h"

#include <system_error>
#include <thread>

namespace {

// Every page a byte of [nFrom, nTo) lies on, the last one included however the range is aligned.
void TouchRange(uint8_t* p, size_t nFrom, size_t nTo, size_t nPageSize)
{
    if (nFrom >= nTo)
        return;
    for (size_t i = nFrom; i < nTo; i += nPageSize)
        p[i] = 0;
    p[nTo - 1] = 0;
}

}  // namespace

// Without a second thread the caller takes them all.
void TouchPages(uint8_t* p, size_t nSize, size_t nPageSize, size_t nMinParallel)
{
    if (!p || nSize == 0 || nPageSize == 0)
        return;
    size_t nHalf = nSize;
    std::thread helper;
    if (nSize >= nMinParallel && nSize >= 2 * nPageSize) {
        nHalf = nSize / 2;
        try {
            helper = std::thread(TouchRange, p, nHalf, nSize, nPageSize);
        } catch (const std::system_error&) {
            nHalf = nSize;
        }
    }
    TouchRange(p, 0, nHalf, nPageSize);
    if (helper.joinable())
        helper.join();
}
