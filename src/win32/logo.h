// The logo as a displayable bitmap, made from the BMP file image the program
// holds: at its natural size once at start, and at the size the window's
// DPI gives it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace tav {

// A device-dependent bitmap of the logo, or nullptr when it cannot be made.
// The caller keeps it for the life of the program.
HBITMAP make_logo_bitmap();

// The logo drawn at width x height: rows top-down, each pixel 0x00RRGGBB.
// A pixel is the logo's pixels it covers, averaged by how much of each it
// covers: at a whole multiple of the natural size every pixel is one of the
// logo's own (sharp, nothing blurred), at any other size the edges between
// them are blended (smooth, not jagged). Empty for a size below 1 x 1.
std::vector<std::uint32_t> logo_pixels(int width, int height);

// A device-dependent bitmap of the logo at width x height, or nullptr. The
// caller deletes it.
HBITMAP make_logo_bitmap(int width, int height);

}  // namespace tav
