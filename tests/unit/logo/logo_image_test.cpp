#include <gtest/gtest.h>

#include <set>

#include "logo/logo_image.h"

namespace tav {
namespace {

unsigned read16(std::span<const std::uint8_t> b, std::size_t at) { return b[at] | (b[at + 1] << 8); }
unsigned read32(std::span<const std::uint8_t> b, std::size_t at) { return read16(b, at) | (read16(b, at + 2) << 16); }

TEST(LogoImage, HeadersDescribeA200By59PictureWith128Colours) {
    const auto bmp = logo_bmp();
    ASSERT_EQ(bmp.size(), 12366u);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    struct Field {
        std::size_t offset;
        int bytes;
        unsigned expected;
        const char* what;
    };
    const Field fields[] = {
        {2, 4, 12366, "file size"},         {6, 4, 0, "reserved"},
        {10, 4, 566, "pixel data offset"},  {14, 4, 40, "information header size"},
        {18, 4, 200, "width"},              {22, 4, 59, "height (positive: rows bottom-up)"},
        {26, 2, 1, "planes"},               {28, 2, 8, "bits per pixel"},
        {30, 4, 0, "compression (BI_RGB)"}, {34, 4, 11800, "image size"},
        {38, 4, 2834, "horizontal pixels per metre"}, {42, 4, 2834, "vertical pixels per metre"},
        {46, 4, 128, "colours used"},       {50, 4, 128, "colours important"},
    };
    for (const Field& f : fields)
        EXPECT_EQ(f.bytes == 2 ? read16(bmp, f.offset) : read32(bmp, f.offset), f.expected) << f.what;
}

TEST(LogoImage, PaletteEntriesKeepTheirReservedByteZero) {
    const auto bmp = logo_bmp();
    for (int i = 0; i < 128; ++i) EXPECT_EQ(bmp[54 + i * 4 + 3], 0) << "palette entry " << i;
}

TEST(LogoImage, EveryPixelNamesAPaletteEntryAndThePictureIsNotBlank) {
    const auto bmp = logo_bmp();
    std::set<int> used;
    for (std::size_t i = kLogoPixelOffset; i < bmp.size(); ++i) {
        ASSERT_LT(bmp[i], 128) << "pixel byte " << i;
        used.insert(bmp[i]);
    }
    // Backdrop shades, the strip, its holes, the shadow and the lettering.
    EXPECT_GT(used.size(), 40u);
}

// Rows are stored bottom-up: the picture's top row is the last one in the file.
int pixel(int x, int y_from_top) {
    return logo_bmp()[kLogoPixelOffset + static_cast<std::size_t>(kLogoHeight - 1 - y_from_top) * kLogoWidth + x];
}

TEST(LogoImage, FilmStripsFrameTheLetteringAtTopAndBottom) {
    // Left edge of both bands is strip, with no lettering inside the bands.
    EXPECT_EQ(pixel(0, 0), pixel(0, kLogoHeight - 1));
    EXPECT_EQ(pixel(0, 0), pixel(199, 4));
    EXPECT_NE(pixel(0, 0), pixel(0, kLogoHeight / 2)) << "the middle is backdrop, not strip";
    // The backdrop darkens from right to left (a gradient, not one colour).
    EXPECT_NE(pixel(1, 12), pixel(198, 12));
}

TEST(LogoImage, LetteringIsLightAtItsTopAndGoldenAtItsFoot) {
    // Find the topmost and lowest lettering pixels between the strips and
    // compare their colours (palette entries are blue, green, red).
    const auto bmp = logo_bmp();
    auto colour = [&](int index) {
        const std::size_t at = 54 + static_cast<std::size_t>(index) * 4;
        return std::array<int, 3>{bmp[at + 2], bmp[at + 1], bmp[at]};
    };
    int top = -1, bottom = -1, top_x = 0, bottom_x = 0;
    for (int y = 9; y < kLogoHeight - 9; ++y)
        for (int x = 0; x < kLogoWidth; ++x) {
            const auto c = colour(pixel(x, y));
            const bool bright = c[0] > 200 && c[1] > 150;
            if (!bright) continue;
            if (top < 0) top = y, top_x = x;
            bottom = y, bottom_x = x;
        }
    ASSERT_GE(top, 0) << "no lettering found";
    ASSERT_GT(bottom - top, 15) << "lettering is about 21 pixels tall";
    const auto high = colour(pixel(top_x, top));
    const auto low = colour(pixel(bottom_x, bottom));
    EXPECT_GT(high[2], low[2]) << "blue fades towards the foot of the letters";
}

}  // namespace
}  // namespace tav
