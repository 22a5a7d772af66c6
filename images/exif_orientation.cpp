#include "images/exif_orientation.h"

// Placeholder until the reader lands.
int ReadJpegExifOrientation(const uint8_t*, size_t)
{
    return 0;
}

int UprightRotateFlip(int)
{
    return -1;
}
