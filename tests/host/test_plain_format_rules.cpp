// The format a still picture is kept in, whether any bitmap can hold it, which decoder takes a
// file and what a failed call means.
#include <gtest/gtest.h>

#include <cstdint>

#include "images/decode/plain_format_rules.h"

TEST(PlainFormatRules, KeptFormatSizeLimitDecoderAndFailures)
{
    EXPECT_EQ(KeptPixelsFor(FramePixels::Indexed8, true), KeptPixels::Indexed8);
    EXPECT_EQ(KeptPixelsFor(FramePixels::Pbgra32, false), KeptPixels::Pargb32);
    EXPECT_EQ(KeptPixelsFor(FramePixels::Other, true), KeptPixels::Argb32);
    EXPECT_EQ(KeptPixelsFor(FramePixels::Other, false), KeptPixels::Rgb24);
    // 40000 x 40000 fits as 8-bit indexes (1.6 GB), not as 24-bit pixels; 4 x 536870911 bytes is the edge.
    EXPECT_TRUE(FitsOneBitmap(40000, 40000, KeptPixels::Indexed8));
    EXPECT_FALSE(FitsOneBitmap(40000, 40000, KeptPixels::Rgb24));
    EXPECT_TRUE(FitsOneBitmap(1, 536870911, KeptPixels::Argb32));
    EXPECT_FALSE(FitsOneBitmap(1, 536870912, KeptPixels::Argb32));
    EXPECT_EQ(ChooseDecoder(ContainerKind::Gif, 1), DecoderChoice::Wic);
    EXPECT_EQ(ChooseDecoder(ContainerKind::Gif, 3), DecoderChoice::Gdiplus);
    EXPECT_EQ(ChooseDecoder(ContainerKind::Icon, 1), DecoderChoice::Gdiplus);
    EXPECT_EQ(ChooseDecoder(ContainerKind::Other, 7), DecoderChoice::Wic);  // a TIFF's pages: the first
    EXPECT_EQ(ChooseDecoder(ContainerKind::Other, 1, true), DecoderChoice::Gdiplus);
    EXPECT_EQ(StatusOfFailure(static_cast<int32_t>(0x8007000EU)), DecodeStatus::NoMemory);
    EXPECT_EQ(StatusOfFailure(static_cast<int32_t>(0x88982F50U)), DecodeStatus::Rejected);
}
