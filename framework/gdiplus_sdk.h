#pragma once
// The one way in to GDI+. With NOMINMAX the Windows SDK's GDI+ headers still call min and
// max unqualified inside namespace Gdiplus, so they are brought in from std first.
#include <windows.h>

#include <algorithm>

namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus

#include <gdiplus.h>
