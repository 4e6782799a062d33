#include "win32/logo.h"

#include <cstring>

#include "logo/logo_image.h"

namespace tav {

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

}  // namespace tav
