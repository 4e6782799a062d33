#include "win32/logo.h"

#include <algorithm>
#include <cstring>

#include "logo/logo_image.h"

namespace tav {
namespace {

constexpr std::size_t kPaletteOffset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);

// The part of one logo pixel that a drawn pixel covers along one axis. A
// drawn pixel t of `drawn` covers [t * natural, (t + 1) * natural) and logo
// pixel s covers [s * drawn, (s + 1) * drawn); each drawn pixel's weights
// add up to `natural`.
struct Share {
    int source;
    int weight;
};

std::vector<std::vector<Share>> shares(int natural, int drawn) {
    std::vector<std::vector<Share>> all(static_cast<std::size_t>(drawn));
    for (int t = 0; t < drawn; ++t) {
        const long long begin = static_cast<long long>(t) * natural, end = begin + natural;
        for (long long s = begin / drawn; s < natural && s * drawn < end; ++s) {
            const long long from = std::max(begin, s * drawn), to = std::min(end, (s + 1) * drawn);
            all[static_cast<std::size_t>(t)].push_back({static_cast<int>(s), static_cast<int>(to - from)});
        }
    }
    return all;
}

}  // namespace

HBITMAP make_logo_bitmap() {
    const auto file = logo_bmp();
    BITMAPFILEHEADER file_header;
    std::memcpy(&file_header, file.data(), sizeof file_header);
    if (file_header.bfType != 0x4D42 || file_header.bfOffBits >= file.size()) return nullptr;

    // The information header and palette follow the file header at an odd
    // offset; copy them into aligned storage.
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[kLogoColours];
    } info;
    static_assert(sizeof info == kLogoPixelOffset - sizeof(BITMAPFILEHEADER));
    std::memcpy(&info, file.data() + sizeof(BITMAPFILEHEADER), sizeof info);

    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBitmap(screen, &info.header, CBM_INIT, file.data() + file_header.bfOffBits,
                                    reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

std::vector<std::uint32_t> logo_pixels(int width, int height) {
    if (width < 1 || height < 1) return {};
    const auto file = logo_bmp();
    const auto colour = [&](int x, int y) {
        // Rows are stored bottom-up; palette entries are blue, green, red, 0.
        const std::uint8_t index = file[kLogoPixelOffset + static_cast<std::size_t>(kLogoHeight - 1 - y) * kLogoWidth +
                                        static_cast<std::size_t>(x)];
        return file.subspan(kPaletteOffset + std::size_t{4} * index, 3);
    };
    const auto columns = shares(kLogoWidth, width);
    const auto rows = shares(kLogoHeight, height);
    const int whole = kLogoWidth * kLogoHeight;  // the weights of one drawn pixel

    std::vector<std::uint32_t> pixels;
    pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (const auto& row : rows) {
        for (const auto& column : columns) {
            int sum[3] = {};
            for (const Share& r : row) {
                for (const Share& c : column) {
                    const auto bgr = colour(c.source, r.source);
                    for (int channel = 0; channel < 3; ++channel) sum[channel] += bgr[channel] * r.weight * c.weight;
                }
            }
            std::uint32_t pixel = 0;
            for (int channel = 2; channel >= 0; --channel) pixel = pixel << 8 | (sum[channel] + whole / 2) / whole;
            pixels.push_back(pixel);
        }
    }
    return pixels;
}

HBITMAP make_logo_bitmap(int width, int height) {
    const std::vector<std::uint32_t> pixels = logo_pixels(width, height);
    if (pixels.empty()) return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBitmap(screen, &info.bmiHeader, CBM_INIT, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

}  // namespace tav
