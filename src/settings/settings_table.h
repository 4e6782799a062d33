// The persisted settings: every key, the control that holds its value, its
// kind and the fallback a load uses when a file lacks the key. The code
// names a setting by its control.
#pragma once

#include <span>
#include <string_view>

namespace tav {

enum class SettingKind {
    State,  // a check state, list index or track bar position, saved as a number
    Text,   // the control's text
};

// A setting is named by the control that holds its value (ctl::).
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

// The row of the setting a control holds, or nullptr when it holds none.
const Setting* setting_of(int control);
// The row of a key text (exact, lower-case), or nullptr.
const Setting* find_setting(std::string_view key);

}  // namespace tav
