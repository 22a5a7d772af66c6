// Animated pictures: the frame delays read at load, the frames stepped by timer 9, and the
// timer stopping itself once a still picture has replaced the animation.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/cmd_target.h"
#include "res/resource.h"
#include "tests/win/win_test_support.h"

namespace {

struct GifFrame {
    BYTE r, g, b;
    uint16_t nDelay;  // hundredths of a second
};

void PutWord(std::string& out, unsigned v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

// Pixel data of one frame filled with palette entry `index`, LZW-coded with 4-bit codes
// only: a clear code before every pair of pixels keeps the code table from growing.
std::string LzwSolid(unsigned index, unsigned nPixels)
{
    constexpr unsigned kClear = 8, kEnd = 9, kBits = 4;
    std::string data;
    uint32_t acc = 0;
    unsigned nAcc = 0;
    auto put = [&](unsigned code) {
        acc |= code << nAcc;
        nAcc += kBits;
        while (nAcc >= 8) {
            data += static_cast<char>(acc & 0xFF);
            acc >>= 8;
            nAcc -= 8;
        }
    };
    for (unsigned i = 0; i < nPixels; ++i) {
        if (i % 2 == 0)
            put(kClear);
        put(index);
    }
    put(kEnd);
    if (nAcc > 0)
        data += static_cast<char>(acc & 0xFF);
    return data;
}

// A GIF89a of solid frames, each with a graphic control extension carrying its delay,
// looping for ever. GDI+'s own encoder can't be used: it writes neither several frames
// nor delays on every system.
bool WriteAnimatedGif(const std::wstring& path, unsigned cx, unsigned cy, const std::vector<GifFrame>& frames)
{
    if (frames.empty() || frames.size() > 8)
        return false;
    std::string gif = "GIF89a";
    PutWord(gif, cx);
    PutWord(gif, cy);
    gif += static_cast<char>(0xA2);  // global table of 8 colours
    gif += '\0';
    gif += '\0';
    for (size_t i = 0; i < 8; ++i) {
        const GifFrame& f = frames[i < frames.size() ? i : 0];
        gif += static_cast<char>(f.r);
        gif += static_cast<char>(f.g);
        gif += static_cast<char>(f.b);
    }
    gif += std::string("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19);
    for (size_t i = 0; i < frames.size(); ++i) {
        gif += std::string("\x21\xF9\x04\x04", 4);  // disposal: leave the frame in place
        PutWord(gif, frames[i].nDelay);
        gif += std::string("\x00\x00", 2);
        gif += '\x2C';
        PutWord(gif, 0);
        PutWord(gif, 0);
        PutWord(gif, cx);
        PutWord(gif, cy);
        gif += '\0';
        gif += '\x03';  // minimum code size for 8 colours
        const std::string data = LzwSolid(static_cast<unsigned>(i), cx * cy);
        for (size_t at = 0; at < data.size(); at += 255) {
            const size_t n = std::min<size_t>(255, data.size() - at);
            gif += static_cast<char>(n);
            gif += data.substr(at, n);
        }
        gif += '\0';
    }
    gif += '\x3B';
    return WriteTextFile(path, gif);
}

class Animation : public MainFrameTest {
protected:
    void SetUp() override
    {
        MainFrameTest::SetUp();
        const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        m_folder = MakeScratchFolder(L"animation-" + std::wstring(test.begin(), test.end()));
        ASSERT_TRUE(WriteAnimatedGif(m_folder + L"rgb.gif", 24, 16,
                                     {{255, 0, 0, 7}, {0, 255, 0, 23}, {0, 0, 255, 41}}));
    }

    // The colour of the frame GDI+ has selected, as the picture holds it.
    COLORREF ImagePixel(int x, int y) const
    {
        Gdiplus::Color c;
        m_frame->m_pImage->GetPixel(x, y, &c);
        return RGB(c.GetR(), c.GetG(), c.GetB());
    }

    void Tick() { ::SendMessageW(m_hWnd, WM_TIMER, kAnimationTimer, 0); }

    // Whether the animation timer fires within nMilliseconds; the message is taken out unhandled.
    bool TimerFires(DWORD nMilliseconds)
    {
        const DWORD start = ::GetTickCount();
        do {
            MSG msg;
            if (::PeekMessageW(&msg, m_hWnd, WM_TIMER, WM_TIMER, PM_REMOVE) && msg.wParam == kAnimationTimer)
                return true;
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_TIMER);
        } while (::GetTickCount() - start < nMilliseconds);
        return false;
    }

    std::wstring m_folder;
};

TEST_F(Animation, TheWrittenGifHasDistinctFramesAndDelays)
{
    Gdiplus::Bitmap gif((m_folder + L"rgb.gif").c_str());
    ASSERT_EQ(gif.GetLastStatus(), Gdiplus::Ok);
    ASSERT_EQ(gif.GetFrameCount(&Gdiplus::FrameDimensionTime), 3u);
    const COLORREF expected[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
    for (UINT i = 0; i < 3; ++i) {
        ASSERT_EQ(gif.SelectActiveFrame(&Gdiplus::FrameDimensionTime, i), Gdiplus::Ok);
        Gdiplus::Color c;
        gif.GetPixel(5, 5, &c);
        EXPECT_EQ(RGB(c.GetR(), c.GetG(), c.GetB()), expected[i]) << i;
    }
}

TEST_F(Animation, LoadingKeepsTheDelaysAndStartsAtFrameZero)
{
    ASSERT_EQ(m_frame->LoadPicture(m_folder, L"rgb.gif", 0), 0);
    EXPECT_EQ(m_frame->m_nFrameCount, 3u);
    EXPECT_EQ(m_frame->m_nCurrentFrame, 0u);
    EXPECT_EQ(m_frame->m_sizeImage, CSize(24, 16));
    ASSERT_NE(m_frame->m_pFrameDelays, nullptr);
    EXPECT_EQ(m_frame->m_pFrameDelays->id, 0x5100u);
    ASSERT_EQ(m_frame->m_pFrameDelays->length, 12u);
    const auto* delays = static_cast<const int32_t*>(m_frame->m_pFrameDelays->value);
    EXPECT_EQ(delays[0], 7);
    EXPECT_EQ(delays[1], 23);
    EXPECT_EQ(delays[2], 41);
    EXPECT_EQ(ImagePixel(0, 0), RGB(255, 0, 0));
    EXPECT_TRUE(TimerFires(5000));
}

TEST_F(Animation, EachTickSelectsTheNextFrameAndLoops)
{
    ASSERT_EQ(m_frame->LoadPicture(m_folder, L"rgb.gif", 0), 0);
    Tick();
    EXPECT_EQ(m_frame->m_nCurrentFrame, 1u);
    EXPECT_EQ(ImagePixel(3, 3), RGB(0, 255, 0));
    Tick();
    EXPECT_EQ(m_frame->m_nCurrentFrame, 2u);
    EXPECT_EQ(ImagePixel(3, 3), RGB(0, 0, 255));
    Tick();
    EXPECT_EQ(m_frame->m_nCurrentFrame, 0u);
    EXPECT_EQ(ImagePixel(3, 3), RGB(255, 0, 0));
    EXPECT_TRUE(TimerFires(5000));  // the timer keeps running
}

TEST_F(Animation, TheWindowShowsTheSelectedFrame)
{
    ASSERT_EQ(m_frame->LoadPicture(m_folder, L"rgb.gif", 0), 0);
    ::UpdateWindow(m_hWnd);
    PumpMessages(50);
    EXPECT_EQ(ReadWindowPixel(m_hWnd, 12, 8), RGB(255, 0, 0));
    Tick();
    ::UpdateWindow(m_hWnd);
    EXPECT_EQ(ReadWindowPixel(m_hWnd, 12, 8), RGB(0, 255, 0));
    Tick();
    ::UpdateWindow(m_hWnd);
    EXPECT_EQ(ReadWindowPixel(m_hWnd, 12, 8), RGB(0, 0, 255));
}

TEST_F(Animation, AStillPictureStopsTheTimerAtItsNextTickUntouched)
{
    ASSERT_EQ(m_frame->LoadPicture(m_folder, L"rgb.gif", 0), 0);
    Tick();
    ASSERT_TRUE(WriteSolidPicture(m_folder + L"still.png", 30, 20, Gdiplus::Color(10, 200, 30)));
    ASSERT_EQ(m_frame->LoadPicture(m_folder, L"still.png", 0), 0);
    EXPECT_LE(m_frame->m_nFrameCount, 1u);  // a still picture: no time frame or one, by platform
    EXPECT_EQ(m_frame->m_pFrameDelays, nullptr);
    Gdiplus::Bitmap* const still = m_frame->m_pImage;
    const uint32_t frame = m_frame->m_nCurrentFrame;

    Tick();
    EXPECT_EQ(m_frame->m_pImage, still);
    EXPECT_EQ(m_frame->m_nCurrentFrame, frame);
    EXPECT_EQ(ImagePixel(0, 0), RGB(10, 200, 30));
    // Killed, so it never fires again; the longest delay of the animation was 410 ms.
    EXPECT_FALSE(TimerFires(1000));
}

TEST_F(Animation, AnotherAnimationStartsOverAtItsFirstFrame)
{
    ASSERT_TRUE(WriteAnimatedGif(m_folder + L"two.gif", 10, 10, {{0, 0, 0, 5}, {255, 255, 255, 5}}));
    ASSERT_EQ(m_frame->LoadPicture(m_folder, L"rgb.gif", 0), 0);
    Tick();
    ASSERT_EQ(m_frame->m_nCurrentFrame, 1u);
    ASSERT_EQ(m_frame->LoadPicture(m_folder, L"two.gif", 0), 0);
    EXPECT_EQ(m_frame->m_nFrameCount, 2u);
    EXPECT_EQ(m_frame->m_nCurrentFrame, 0u);
    ASSERT_NE(m_frame->m_pFrameDelays, nullptr);
    EXPECT_EQ(m_frame->m_pFrameDelays->length, 8u);
    Tick();
    Tick();
    EXPECT_EQ(m_frame->m_nCurrentFrame, 0u);
    EXPECT_EQ(ImagePixel(0, 0), RGB(0, 0, 0));
}

TEST_F(Animation, AOneFrameGifIsStill)
{
    ASSERT_TRUE(WriteAnimatedGif(m_folder + L"one.gif", 12, 9, {{0, 0, 200, 30}}));
    ASSERT_EQ(m_frame->LoadPicture(m_folder, L"one.gif", 0), 0);
    EXPECT_LE(m_frame->m_nFrameCount, 1u);  // a still picture: no time frame or one, by platform
    EXPECT_EQ(m_frame->m_pFrameDelays, nullptr);
    EXPECT_EQ(m_frame->m_sizeImage, CSize(12, 9));
    EXPECT_EQ(m_frame->GetWindowText(), L"one.gif - Vistrel");
}

TEST_F(Animation, AnAnimatedPictureCannotBeTurnedOrFlipped)
{
    ASSERT_EQ(m_frame->LoadPicture(m_folder, L"rgb.gif", 0), 0);
    for (UINT id : {ID_EDIT_FLIP_HORIZONTAL, ID_EDIT_FLIP_VERTICAL, ID_EDIT_ROTATE_CW, ID_EDIT_ROTATE_CCW}) {
        EXPECT_FALSE(Enabled(id)) << id;
        Command(id);
        EXPECT_EQ(m_frame->m_sizeImage, CSize(24, 16)) << id;
        EXPECT_EQ(m_frame->m_pImage->GetWidth(), 24u) << id;
    }
}

TEST_F(Animation, OtherTimersOfTheWindowAreNotFrames)
{
    ASSERT_EQ(m_frame->LoadPicture(m_folder, L"rgb.gif", 0), 0);
    ::SendMessageW(m_hWnd, WM_TIMER, 10, 0);
    EXPECT_EQ(m_frame->m_nCurrentFrame, 0u);
    EXPECT_EQ(ImagePixel(0, 0), RGB(255, 0, 0));
}

}  // namespace
