// Fuzz target: any bytes as a settings file. The reader must classify every
// line without crashing, the writer's lines must read back as written, and a
// whole load into the window must leave no batch syntax in a loaded text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "app/app.h"
#include "model/control_ids.h"
#include "model/memory_surface.h"
#include "settings/pref_file.h"
#include "settings/settings_model.h"
#include "settings/settings_table.h"
#include "support/fake_platform.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

bool is_line_end(char c) { return c == '\r' || c == '\n'; }

std::string ascii_lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

void check_entries(std::string_view body) {
    tav::PrefWriter writer;
    // What the writer must hold: one line per key, in first-write order,
    // with the key and value of the last write.
    std::vector<std::pair<std::string_view, std::string_view>> expected;
    std::map<std::string, size_t> line_of;
    for (const tav::PrefEntry& e : tav::parse_pref_entries(body)) {
        for (char c : e.name) require(!is_line_end(c));
        for (char c : e.value) require(!is_line_end(c));
        if (e.kind != tav::PrefEntryKind::Key) continue;
        require(e.name.find('=') == std::string_view::npos);
        require(e.name.empty() || (e.name.back() != ' ' && e.name.back() != '\t'));
        require(e.value.empty() || (e.value.front() != ' ' && e.value.front() != '\t'));
        writer.write_text(e.name, e.value);
        const auto [it, added] = line_of.try_emplace(ascii_lower(e.name), expected.size());
        if (added)
            expected.emplace_back(e.name, e.value);
        else
            expected[it->second] = {e.name, e.value};
    }
    const std::string text = writer.text();
    const auto again = tav::parse_pref_entries(text);
    require(again.size() == expected.size());
    for (size_t i = 0; i < again.size(); ++i) {
        require(again[i].kind == tav::PrefEntryKind::Key);
        require(again[i].name == expected[i].first);
        require(again[i].value == expected[i].second);
    }
}

void check_load(const std::string& file) {
    tav::MemorySurface ui;
    tav::test::FakePlatform platform;
    tav::App app(ui, platform, tav::JobListCopy::Writing::WhenAsked);
    app.initialise_controls();
    ui.append_items(tav::ctl::Template, {"grain", "a&b"});
    platform.files["s.ini"] = file;
    tav::load_settings(app.context(), "s.ini");

    for (const tav::Setting& s : tav::settings_table()) {
        if (s.kind != tav::SettingKind::Text) continue;
        const std::string value = ui.text(s.control);
        const bool quoted = s.quoted_path && value.size() >= 2 && value.front() == '"' && value.back() == '"';
        require(value.find_first_of("\r\n") == std::string::npos);
        if (!quoted) require(value.find_first_of("&|<>^%\"") == std::string::npos);
    }
    require(ui.text(tav::ctl::QuantMatrix) != "custom...");
    require(platform.files.size() == 1 && platform.files["s.ini"] == file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string file(reinterpret_cast<const char*>(data), size);
    const bool utf8 = std::string_view(file).substr(0, 3) == tav::kUtf8Mark;
    check_entries(utf8 ? std::string_view(file).substr(3) : std::string_view(file));
    check_load(file);
    return 0;
}
