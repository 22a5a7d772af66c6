#pragma once
// A still picture copied out of its decoder into a Bitmap of plain pixels in memory, which
// draws, turns and saves with neither the decoder, nor its stream, nor its file.
namespace Gdiplus {
class Bitmap;
}  // namespace Gdiplus

// Why a copy was not made.
enum class PlainCopyFailure {
    None,
    NoMemory,     // the pixels of the copy could not be had
    Unsupported,  // GDI+ could not convert the decoder's pixels
};

// The copy, of the picture's size and resolution, in the decoder's format where GDI+ draws
// and turns it as it is (24- and 32-bit RGB, 32-bit ARGB, 8-bit indexed), otherwise in 32-bit
// ARGB for a picture that may have transparency and 24-bit RGB for one that can't. Null on
// failure.
Gdiplus::Bitmap* CopyToPlainBitmap(Gdiplus::Bitmap& source, PlainCopyFailure& failure);
