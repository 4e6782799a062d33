// Settings texts longer than any field holds never keep the window from
// answering: they take their key's fallback.
#include "e2ejobs_support.h"

namespace tav::e2e::jobs {
namespace {

TAV_CASE(a_million_character_value_in_settings_or_preset_never_stalls_the_window) {
    const std::string huge = "value = " + std::string(1000000, '9');  // and no line end
    const DWORD start = GetTickCount();
    Program program({.files = {{"tavrelion.ini", "mode = 2\r\n" + huge},
                               {"configs\\shared.ini", "mode = 0\r\nmb = 3\r\n" + huge}}});
    const DWORD started = GetTickCount() - start;
    CHECK(started < 15000);
    CHECK_EQ(program.selection(ctl::Mode), 2);
    CHECK_EQ(program.text(ctl::Value), "0");

    program.paste(ctl::PresetName, "shared");
    const DWORD load = GetTickCount();
    program.click(ctl::LoadPreset);
    CHECK(GetTickCount() - load < 10000);
    CHECK_EQ(program.selection(ctl::Mode), 0);
    CHECK_EQ(program.text(ctl::Value), "0");
    CHECK_EQ(program.text(ctl::MaxBFrames), "3");
    CHECK_EQ(program.close(), 0u);
}

}  // namespace
}  // namespace tav::e2e::jobs
