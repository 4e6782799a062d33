// Conversions between the program's ANSI texts, the wide texts of the
// system's dialogs and the console's (OEM) code page of batch files. None
// of them substitutes a look-alike character.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tav {

std::wstring wide_from_ansi(std::string_view text);

// Each character the ANSI code page lacks becomes '?', which no real file
// name holds, so the program can tell such a name from every other.
std::string ansi_from_wide(std::wstring_view text);

// The ANSI text in the console's code page, or nullopt when a character of
// it does not read back exactly from there.
std::optional<std::string> console_from_ansi(std::string_view text);

}  // namespace tav
