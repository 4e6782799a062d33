// The logo shown on the "Bitrate" tab: a complete BMP file image held in the
// program (200 x 59 pixels, 8 bits per pixel, 128 palette colours), drawn
// here from a small pixel font so that no image file is needed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace tav {

inline constexpr int kLogoWidth = 200;
inline constexpr int kLogoHeight = 59;
inline constexpr int kLogoColours = 128;
inline constexpr std::size_t kLogoPixelOffset = 14 + 40 + kLogoColours * 4;  // 566
inline constexpr std::size_t kLogoFileSize = kLogoPixelOffset + kLogoWidth * kLogoHeight;  // 12366

// The whole BMP file: file header, information header, palette, pixel rows
// bottom-up.
std::span<const std::uint8_t, kLogoFileSize> logo_bmp();

}  // namespace tav
