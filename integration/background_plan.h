#pragma once
// Wallpaper and calendar background: the crop to the screen's shape and the file paths.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class BackgroundSource {
    None,   // nothing can be saved
    Scale,  // draw the crop onto a screen-sized bitmap
    Copy,   // save a copy of the crop at its own size
    Whole,  // save the picture itself
};

struct BackgroundCrop {
    BackgroundSource source = BackgroundSource::None;
    int32_t x = 0;
    int32_t y = 0;
    int32_t w = 0;
    int32_t h = 0;
};

// Picture W x H, screen cx x cy.
BackgroundCrop PlanBackgroundCrop(int32_t W, int32_t H, int32_t cx, int32_t cy);

// The folders to create, one per backslash found from position 3 on, shortest first.
std::vector<std::wstring> FolderChainPrefixes(std::wstring_view path);

// The program's folder under the application-data folder, ending in a backslash.
std::wstring BackgroundFolder(std::wstring_view appData);

// Used when the application-data folder can't be had.
constexpr const wchar_t* kFallbackBackgroundFolder = L"c:\\";

// folder + "Vistrel Wallpaper" / "Vistrel Calendar" + ".bmp" (or "1.bmp" for the second attempt).
std::wstring BackgroundTargetPath(std::wstring_view folder, bool bCalendar, bool bFallback);
