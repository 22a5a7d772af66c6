#include "integration/background_plan.h"

// Products are formed in 64 bits and a degenerate screen or picture gives None, so no size
// overflows or divides by zero; wherever 32-bit arithmetic held, the result is the same.
BackgroundCrop PlanBackgroundCrop(int32_t W, int32_t H, int32_t cx, int32_t cy)
{
    BackgroundCrop crop;
    if (W <= 0 || H <= 0 || cx <= 0 || cy <= 0)
        return crop;
    int64_t w = W;
    int64_t h = static_cast<int64_t>(W) * cy / cx;
    if (h > H) {
        w = static_cast<int64_t>(H) * cx / cy;  // < W here, since W * cy > H * cx
        h = H;
    }
    crop.w = static_cast<int32_t>(w);
    crop.h = static_cast<int32_t>(h);
    crop.x = crop.w < W ? (W - crop.w) / 2 : 0;
    crop.y = 0;
    if (crop.w == 0 || crop.h == 0)
        crop.source = BackgroundSource::None;
    else if (crop.w > cx)
        crop.source = BackgroundSource::Scale;
    else if (crop.w != W || crop.h != H)
        crop.source = BackgroundSource::Copy;
    else
        crop.source = BackgroundSource::Whole;
    return crop;
}

// Starting at position 3 passes over the root backslash of "c:\".
std::vector<std::wstring> FolderChainPrefixes(std::wstring_view path)
{
    std::vector<std::wstring> prefixes;
    size_t pos = 3;
    while (pos < path.size()) {
        const size_t slash = path.find(L'\\', pos);
        if (slash == std::wstring_view::npos)
            break;
        prefixes.emplace_back(path.substr(0, slash));
        pos = slash + 1;
    }
    return prefixes;
}

std::wstring BackgroundFolder(std::wstring_view appData)
{
    std::wstring folder(appData);
    if (folder.empty() || folder.back() != L'\\')
        folder += L'\\';
    folder += L"Vistrel\\";
    return folder;
}

std::wstring BackgroundTargetPath(std::wstring_view folder, bool bCalendar, bool bFallback)
{
    std::wstring path(folder);
    path += bCalendar ? L"Vistrel Calendar" : L"Vistrel Wallpaper";
    path += bFallback ? L"1.bmp" : L".bmp";
    return path;
}
