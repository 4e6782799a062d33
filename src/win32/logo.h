// The logo as a displayable bitmap, made once from the BMP file image the
// program holds.
#pragma once

#include <windows.h>

namespace tav {

// A device-dependent bitmap of the logo, or nullptr when it cannot be made.
// The caller keeps it for the life of the program.
HBITMAP make_logo_bitmap();

}  // namespace tav
