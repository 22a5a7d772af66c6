#pragma once
// A main window showing a generated picture. The picture is put into the frame and
// laid out exactly as a load does, so the view tests do not depend on decoding.
#include <windows.h>

#include <vector>

#include "tests/win/win_test_support.h"
#include "framework/geometry.h"

// Colour of picture pixel (x, y) in the pattern picture: red counts x, green counts y,
// blue holds the high bits of both, so every pixel of a picture up to 4096 by 4096 is
// unique and neighbours always differ.
COLORREF PatternColor(int x, int y);

Gdiplus::Bitmap* MakePatternBitmap(int width, int height);
// Left half one colour, right half the other.
Gdiplus::Bitmap* MakeTwoColourBitmap(int width, int height, COLORREF left, COLORREF right);

// Pixels of the client row y from x0 (inclusive) to x1 (exclusive), as shown on the screen.
std::vector<COLORREF> ReadClientRow(HWND hWnd, int y, int x0, int x1);
std::vector<COLORREF> ReadClientColumn(HWND hWnd, int x, int y0, int y1);

class ViewTest : public MainFrameTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Hands the picture to the frame (which owns it from now on) and lays it out as a load does.
    void ShowPicture(Gdiplus::Bitmap* bitmap);
    // The work area of this process only; the original is put back after the test.
    void SetWorkArea(const CRect& rc);
    static void SetShift(bool bDown);
    // Lets the posted cursor update and the paint run.
    void Settle();
    CRect WindowRect() const;

    // The client row y and column x show the pattern picture at the frame's scroll position (zoom 1.0).
    void ExpectRowShowsPattern(int y);
    void ExpectColumnShowsPattern(int x);

private:
    RECT m_rcWorkSaved{};
};

// The marks a popup menu item shows after the frame's update rules have run over it.
struct MenuMarks {
    bool bEnabled;
    bool bChecked;
    bool bRadio;
};

// Opens (without showing) the view submenu of the context menu as the frame would see it
// on WM_INITMENUPOPUP and reads the marks of item nID.
MenuMarks ViewMenuMarks(HWND hWnd, UINT nID);

// The text of the label on show, empty without one.
CStringW TagText(const CMainFrame* frame);
