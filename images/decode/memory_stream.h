#pragma once
// A read-only stream over bytes in memory, for the decoder. Reads past the end give fewer
// bytes, a seek anywhere at or after the start is allowed: a damaged file can make the decoder
// ask for anything, and nothing it asks reads outside the bytes.
#include <cstddef>
#include <cstdint>

struct IStream;

// A stream that owns nSize bytes (uninitialised) with one reference; null when memory is
// short. *ppData gets the bytes, for the caller to fill before the decoder reads them; SetSize
// only shortens it, for a file that gave fewer bytes than its size said.
IStream* CreateMemoryStream(size_t nSize, uint8_t** ppData);
