// Conversions between the program's ANSI texts and the wide texts of the
// system's dialogs. None of them substitutes a look-alike character.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tav {

std::wstring wide_from_ansi(std::string_view text);

// Each character the ANSI code page lacks becomes '?', which no real file
// name holds, so the program can tell such a name from every other.
std::string ansi_from_wide(std::wstring_view text);

}  // namespace tav
