#include "win32/code_pages.h"

#include <windows.h>

#include <limits>

namespace tav {
namespace {

constexpr std::size_t kLargestText = static_cast<std::size_t>(std::numeric_limits<int>::max()) / 2;

std::optional<std::wstring> wide_from(UINT code_page, std::string_view text, DWORD flags) {
    if (text.empty()) return std::wstring();
    if (text.size() > kLargestText) return std::nullopt;
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(code_page, flags, text.data(), size, nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (MultiByteToWideChar(code_page, flags, text.data(), size, wide.data(), length) != length) return std::nullopt;
    return wide;
}

// Without best fit, a character the code page lacks becomes its default
// character and `*lacking` is set. UTF-8 takes neither flag nor default.
std::optional<std::string> narrow_to(UINT code_page, std::wstring_view text, const char* default_char,
                                     BOOL* lacking) {
    if (text.empty()) return std::string();
    if (text.size() > kLargestText) return std::nullopt;
    const bool utf8 = (code_page == CP_ACP ? GetACP() : code_page == CP_OEMCP ? GetOEMCP() : code_page) == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    if (utf8) {
        default_char = nullptr;
        lacking = nullptr;
    }
    const int size = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(code_page, flags, text.data(), size, nullptr, 0, default_char, lacking);
    if (length <= 0) return std::nullopt;
    std::string narrow(static_cast<std::size_t>(length), '\0');
    if (WideCharToMultiByte(code_page, flags, text.data(), size, narrow.data(), length, default_char, lacking) !=
        length)
        return std::nullopt;
    return narrow;
}

}  // namespace

std::wstring wide_from_ansi(std::string_view text) { return wide_from(CP_ACP, text, 0).value_or(std::wstring()); }

std::string ansi_from_wide(std::wstring_view text) {
    if (auto narrow = narrow_to(CP_ACP, text, "?", nullptr)) return *narrow;
    return "?";  // not convertible at all: still a name the program refuses
}

std::optional<std::string> console_from_ansi(std::string_view text) {
    const auto wide = wide_from(CP_ACP, text, MB_ERR_INVALID_CHARS);
    if (!wide) return std::nullopt;
    BOOL lacking = FALSE;
    auto console = narrow_to(CP_OEMCP, *wide, nullptr, &lacking);
    if (!console || lacking) return std::nullopt;
    // What the interpreter will read must be exactly what the window shows.
    if (wide_from(CP_OEMCP, *console, 0) != wide) return std::nullopt;
    return console;
}

}  // namespace tav
