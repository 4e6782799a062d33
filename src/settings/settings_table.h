// The persisted settings: every key, the control that holds its value, its
// kind and the fallback a load uses when a file lacks the key.
#pragma once

#include <span>
#include <string_view>

namespace tav {

// Every persisted setting, in the order a saved file holds them; the key
// texts are the table's. Naming settings by this enum, a mistyped key does
// not compile.
enum class Key : int {
    upstat, a1, a2, a3, a4, a5, a6, cab, mxref, tre, fil, bref, bme, ba, bwb, mode, dm, m, ms, aud,
    ae, apin, muxer, deb_a, deb_b, fastpsk, dctd, crelog, sizemode, cqm, aub, fa, mb, bias, fb,
    value, range, ref, arx, ary, thr, nr, kfb, bfr, vbr, minqp, maxqp, qps, vbs, vmb, vib, bv, sct,
    mingop, maxgop, auto1pcrf, avsinc, maxsize, minsize,
};
inline constexpr int kSettingCount = static_cast<int>(Key::minsize) + 1;

enum class SettingKind {
    State,  // a check state, list index or track bar position, saved as a number
    Text,   // the control's text
};

struct Setting {
    Key id;
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

// The row of a setting.
const Setting& setting(Key key);
// The row of a key text (exact, lower-case), or nullptr.
const Setting* find_setting(std::string_view key);

}  // namespace tav
