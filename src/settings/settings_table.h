// The persisted settings: every key, the control that holds its value, its
// kind and the fallback a load uses when a file lacks the key.
#pragma once

#include <span>
#include <string_view>

namespace tav {

enum class SettingKind {
    State,  // a check state, list index or track bar position, saved as a number
    Text,   // the control's text
};

struct Setting {
    std::string_view key;
    int control;
    SettingKind kind;
    std::string_view fallback;  // a number's text for states
    // The value may be a file path in double quotes (the quant matrix),
    // which the encoder line carries quoted.
    bool quoted_path = false;
};

// All settings, in the order a saved file holds them.
std::span<const Setting> settings_table();

// The row of a key (exact, lower-case), or nullptr.
const Setting* find_setting(std::string_view key);

}  // namespace tav
