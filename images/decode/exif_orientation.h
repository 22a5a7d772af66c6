#pragma once
// The Exif orientation of a JPEG, read from its bytes without any platform call, and the
// turn that stands a picture of each orientation upright.
#include <cstddef>
#include <cstdint>

// No more than this much of a file's start is ever read for its orientation.
constexpr size_t kExifReadLimit = 64 * 1024;

// The orientation (tag 0x0112) of the first APP1 segment that starts "Exif\0\0", as stored
// (any 16-bit value), or 0 when there is none or it can't be read within `size` bytes.
int ReadJpegExifOrientation(const uint8_t* data, size_t size);

// The GDI+ RotateFlipType number that turns a picture of this orientation upright, or -1
// when it is to be shown as stored (0, 1 and anything out of range).
int UprightRotateFlip(int nOrientation);
