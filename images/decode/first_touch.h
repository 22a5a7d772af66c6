#pragma once
// The first write to each page of fresh memory costs a page fault, and a picture's worth of
// pixels has many pages (17,000 for 24 megapixels): taken one by one inside the decoder's copy
// they cost more than the copy itself. Taken first, on two threads, they cost about half.
#include <cstddef>
#include <cstdint>

// Writes a zero to a byte of every page of the nSize bytes at p, whose contents are about to be
// overwritten; from two threads at once when there are at least nMinParallel of them.
void TouchPages(uint8_t* p, size_t nSize, size_t nPageSize = 4096, size_t nMinParallel = size_t{16} << 20);
