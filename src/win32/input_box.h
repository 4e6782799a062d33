// The small modal input box of the Windows build ("Edit" / "For expert
// only!"): a prompt above one prefilled field and an OK button.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace tav {

// Control ids inside the box, for whoever drives it from outside; OK is IDOK.
inline constexpr int kInputBoxPromptId = 100;
inline constexpr int kInputBoxFieldId = 101;

// Shows the box, 300 x 130 pixels and centred on the screen, while the owner
// is disabled. Enter or OK give the field's text (also when emptied);
// Escape or the close box give nullopt.
std::optional<std::string> show_input_box(HWND owner, const std::string& title, const std::string& prompt,
                                          const std::string& initial);

}  // namespace tav
