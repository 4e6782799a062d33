#include "logo/logo_image.h"

#include <array>
#include <string_view>

namespace tav {
namespace {

static_assert(kLogoWidth % 4 == 0, "rows of an 8-bit BMP are padded to 4 bytes; this width needs none");
constexpr std::size_t kPixelBytes = static_cast<std::size_t>(kLogoWidth) * kLogoHeight;

// Palette layout.
constexpr int kBackdropFirst = 0;   // 64 shades, left to right across the picture
constexpr int kBackdropShades = 64;
constexpr int kStripColour = 64;    // the dark film-strip bands at top and bottom
constexpr int kHoleColour = 65;     // their sprocket holes
constexpr int kShadowColour = 66;   // drop shadow of the lettering
constexpr int kLetterFirst = 67;    // 32 shades, top to bottom through the lettering
constexpr int kLetterShades = 32;
constexpr int kGreyFirst = kLetterFirst + kLetterShades;  // the rest: a grey ramp

struct Rgb {
    int r, g, b;
};

constexpr Rgb blend(Rgb a, Rgb b, int step, int steps) {
    return {a.r + (b.r - a.r) * step / (steps - 1), a.g + (b.g - a.g) * step / (steps - 1),
            a.b + (b.b - a.b) * step / (steps - 1)};
}

constexpr Rgb palette_colour(int index) {
    if (index < kBackdropFirst + kBackdropShades)
        return blend({24, 38, 96}, {18, 140, 160}, index - kBackdropFirst, kBackdropShades);
    if (index == kStripColour) return {22, 22, 26};
    if (index == kHoleColour) return {232, 228, 212};
    if (index == kShadowColour) return {8, 14, 40};
    if (index < kGreyFirst) return blend({255, 255, 255}, {255, 190, 60}, index - kLetterFirst, kLetterShades);
    return blend({40, 40, 40}, {220, 220, 220}, index - kGreyFirst, kLogoColours - kGreyFirst);
}

// A 5 x 7 pixel font for the letters of the name; each row's bits run from
// the left column (bit 4) to the right one (bit 0).
struct Glyph {
    char letter;
    std::array<std::uint8_t, 7> rows;
};

constexpr Glyph kFont[] = {
    {'t', {0b01000, 0b01000, 0b11110, 0b01000, 0b01000, 0b01001, 0b00110}},
    {'a', {0b00000, 0b00000, 0b01110, 0b00001, 0b01111, 0b10001, 0b01111}},
    {'v', {0b00000, 0b00000, 0b10001, 0b10001, 0b10001, 0b01010, 0b00100}},
    {'r', {0b00000, 0b00000, 0b10110, 0b11001, 0b10000, 0b10000, 0b10000}},
    {'e', {0b00000, 0b00000, 0b01110, 0b10001, 0b11111, 0b10000, 0b01110}},
    {'l', {0b01100, 0b00100, 0b00100, 0b00100, 0b00100, 0b00100, 0b01110}},
    {'i', {0b00100, 0b00000, 0b01100, 0b00100, 0b00100, 0b00100, 0b01110}},
    {'o', {0b00000, 0b00000, 0b01110, 0b10001, 0b10001, 0b10001, 0b01110}},
    {'n', {0b00000, 0b00000, 0b10110, 0b11001, 0b10001, 0b10001, 0b10001}},
};

constexpr const Glyph* glyph_for(char letter) {
    for (const Glyph& g : kFont)
        if (g.letter == letter) return &g;
    return nullptr;
}

constexpr std::string_view kName = "tavrelion";
constexpr int kScale = 3;
constexpr int kGlyphWidth = 5 * kScale;
constexpr int kGlyphHeight = 7 * kScale;
constexpr int kAdvance = kGlyphWidth + kScale;
constexpr int kStripHeight = 9;
constexpr int kTextWidth = static_cast<int>(kName.size()) * kAdvance - kScale;
constexpr int kTextLeft = (kLogoWidth - kTextWidth) / 2;
constexpr int kTextTop = kStripHeight + (kLogoHeight - 2 * kStripHeight - kGlyphHeight) / 2;
constexpr int kShadowOffset = 2;

// Pixels top-down, one palette index each.
using Canvas = std::array<std::uint8_t, kPixelBytes>;

constexpr void put(Canvas& c, int x, int y, int colour) {
    if (x >= 0 && x < kLogoWidth && y >= 0 && y < kLogoHeight) c[y * kLogoWidth + x] = static_cast<std::uint8_t>(colour);
}

constexpr bool ink(const Glyph& g, int gx, int gy) {
    return (g.rows[gy / kScale] >> (4 - gx / kScale)) & 1;
}

constexpr void draw_name(Canvas& c, int dx, int dy, bool shadow) {
    for (std::size_t i = 0; i < kName.size(); ++i) {
        const Glyph* g = glyph_for(kName[i]);
        if (!g) continue;
        const int left = kTextLeft + static_cast<int>(i) * kAdvance + dx;
        for (int gy = 0; gy < kGlyphHeight; ++gy)
            for (int gx = 0; gx < kGlyphWidth; ++gx)
                if (ink(*g, gx, gy))
                    put(c, left + gx, kTextTop + dy + gy,
                        shadow ? kShadowColour : kLetterFirst + gy * (kLetterShades - 1) / (kGlyphHeight - 1));
    }
}

constexpr Canvas draw_logo() {
    Canvas c{};
    for (int y = 0; y < kLogoHeight; ++y)
        for (int x = 0; x < kLogoWidth; ++x) put(c, x, y, kBackdropFirst + x * (kBackdropShades - 1) / (kLogoWidth - 1));

    // Film-strip bands with evenly spread sprocket holes.
    constexpr int kHoleWidth = 6, kHoleHeight = 5, kHolePitch = 12, kHoles = 16;
    constexpr int kHolesLeft = (kLogoWidth - (kHoles * kHolePitch - (kHolePitch - kHoleWidth))) / 2;
    for (int band_top : {0, kLogoHeight - kStripHeight}) {
        for (int y = band_top; y < band_top + kStripHeight; ++y)
            for (int x = 0; x < kLogoWidth; ++x) put(c, x, y, kStripColour);
        for (int h = 0; h < kHoles; ++h)
            for (int y = 0; y < kHoleHeight; ++y)
                for (int x = 0; x < kHoleWidth; ++x)
                    put(c, kHolesLeft + h * kHolePitch + x, band_top + (kStripHeight - kHoleHeight) / 2 + y, kHoleColour);
    }

    draw_name(c, kShadowOffset, kShadowOffset, true);
    draw_name(c, 0, 0, false);
    return c;
}

using FileImage = std::array<std::uint8_t, kLogoFileSize>;

constexpr void put16(FileImage& f, std::size_t at, unsigned value) {
    f[at] = static_cast<std::uint8_t>(value & 0xFF);
    f[at + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

constexpr void put32(FileImage& f, std::size_t at, unsigned value) {
    put16(f, at, value & 0xFFFF);
    put16(f, at + 2, value >> 16);
}

constexpr unsigned kPixelsPerMetre = 2834;  // 72 dots per inch

constexpr FileImage make_file_image() {
    FileImage f{};
    // File header.
    f[0] = 'B';
    f[1] = 'M';
    put32(f, 2, static_cast<unsigned>(kLogoFileSize));
    put32(f, 6, 0);
    put32(f, 10, static_cast<unsigned>(kLogoPixelOffset));
    // Information header: uncompressed, bottom-up rows.
    put32(f, 14, 40);
    put32(f, 18, kLogoWidth);
    put32(f, 22, kLogoHeight);
    put16(f, 26, 1);
    put16(f, 28, 8);
    put32(f, 30, 0);
    put32(f, 34, static_cast<unsigned>(kPixelBytes));
    put32(f, 38, kPixelsPerMetre);
    put32(f, 42, kPixelsPerMetre);
    put32(f, 46, kLogoColours);
    put32(f, 50, kLogoColours);
    // Palette entries are blue, green, red, reserved.
    for (int i = 0; i < kLogoColours; ++i) {
        const Rgb rgb = palette_colour(i);
        f[54 + i * 4] = static_cast<std::uint8_t>(rgb.b);
        f[54 + i * 4 + 1] = static_cast<std::uint8_t>(rgb.g);
        f[54 + i * 4 + 2] = static_cast<std::uint8_t>(rgb.r);
    }
    const Canvas pixels = draw_logo();
    for (int y = 0; y < kLogoHeight; ++y)
        for (int x = 0; x < kLogoWidth; ++x)
            f[kLogoPixelOffset + static_cast<std::size_t>(kLogoHeight - 1 - y) * kLogoWidth + x] =
                pixels[y * kLogoWidth + x];
    return f;
}

constexpr FileImage kLogoFile = make_file_image();

}  // namespace

std::span<const std::uint8_t, kLogoFileSize> logo_bmp() { return kLogoFile; }

}  // namespace tav
