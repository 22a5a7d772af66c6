#include "images/picture_orientation.h"

#include "framework/gdiplus_sdk.h"

// Placeholder until orientation lands: every picture is shown as stored.
int PictureOrientation(Gdiplus::Bitmap&, const std::wstring&)
{
    return 0;
}

bool TurnUpright(Gdiplus::Bitmap&, int)
{
    return false;
}
