#include "settings/pref_file.h"

#include "common/text_rules.h"

namespace tav {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_line_end(char c) { return c == '\r' || c == '\n'; }

std::string_view without_trailing_blanks(std::string_view text) {
    while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
    return text;
}

std::string_view without_leading_blanks(std::string_view text) {
    while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
    return text;
}

// Keys compare ignoring the case of A-Z only.
std::string ascii_lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// One line, without its line end and not empty after leading blanks.
PrefEntry classify_line(std::string_view line) {
    line = without_leading_blanks(line);
    if (line.front() == ';') {
        line.remove_prefix(1);
        if (!line.empty() && line.front() == ' ') line.remove_prefix(1);
        return {PrefEntryKind::Comment, line, {}};
    }
    if (line.front() == '[') {
        line.remove_prefix(1);
        return {PrefEntryKind::Group, line.substr(0, line.find(']')), {}};
    }
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) return {PrefEntryKind::Key, without_trailing_blanks(line), {}};
    return {PrefEntryKind::Key, without_trailing_blanks(line.substr(0, equals)),
            without_leading_blanks(line.substr(equals + 1))};
}

std::string_view file_body(std::string_view file, bool& utf8) {
    utf8 = file.substr(0, kUtf8Mark.size()) == kUtf8Mark;
    return utf8 ? file.substr(kUtf8Mark.size()) : file;
}

}  // namespace

void for_each_pref_entry(std::string_view body, const std::function<bool(const PrefEntry&)>& visit) {
    size_t pos = 0;
    while (pos < body.size()) {
        // Runs of line-end characters carry no meaning.
        while (pos < body.size() && is_line_end(body[pos])) ++pos;
        size_t end = pos;
        while (end < body.size() && !is_line_end(body[end])) ++end;
        const std::string_view line = body.substr(pos, end - pos);
        pos = end;
        if (without_leading_blanks(line).empty()) continue;
        if (!visit(classify_line(line))) return;
    }
}

std::vector<PrefEntry> parse_pref_entries(std::string_view body) {
    std::vector<PrefEntry> entries;
    for_each_pref_entry(body, [&](const PrefEntry& e) {
        entries.push_back(e);
        return true;
    });
    return entries;
}

std::int32_t pref_integer(std::string_view value) {
    const size_t start = value.find_first_not_of(" \t\r\n\v\f");
    return start == std::string_view::npos ? 0 : integer_from_text(value.substr(start));
}

std::string latin1_to_utf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::optional<std::string> utf8_to_latin1(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += text[i];
            continue;
        }
        // Only the two-byte forms with lead C2 or C3 stay within U+00FF; every
        // other lead byte is either invalid or a larger character.
        if ((c != 0xC2 && c != 0xC3) || i + 1 >= text.size()) return std::nullopt;
        const auto next = static_cast<unsigned char>(text[i + 1]);
        if ((next & 0xC0) != 0x80) return std::nullopt;
        out += static_cast<char>(((c & 0x1F) << 6) | (next & 0x3F));
        ++i;
    }
    return out;
}

PrefReader::PrefReader(std::string_view file, std::span<const std::string_view> keys) {
    const std::string_view body = file_body(file, utf8_);
    // In UTF-8 mode a key asked for is compared in its UTF-8 form.
    std::unordered_map<std::string, std::optional<std::string>*> wanted;
    for (std::string_view key : keys) {
        auto& slot = found_[ascii_lower(key)];
        wanted.emplace(ascii_lower(utf8_ ? latin1_to_utf8(key) : std::string(key)), &slot);
    }
    size_t missing = wanted.size();
    std::string lowered;
    for_each_pref_entry(body, [&](const PrefEntry& e) {
        if (e.kind == PrefEntryKind::Group) return false;
        if (e.kind != PrefEntryKind::Key) return true;
        lowered.assign(e.name);
        for (char& c : lowered)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        auto it = wanted.find(lowered);
        if (it != wanted.end() && !*it->second) {
            *it->second = std::string(e.value);
            --missing;
        }
        return missing > 0;
    });
}

const std::optional<std::string>* PrefReader::raw(std::string_view key) const {
    auto it = found_.find(ascii_lower(key));
    return it == found_.end() || !it->second ? nullptr : &it->second;
}

std::int32_t PrefReader::read_integer(std::string_view key, std::int32_t fallback) const {
    const auto* value = raw(key);
    return value ? pref_integer(**value) : fallback;
}

std::string PrefReader::read_text(std::string_view key, std::string_view fallback) const {
    const auto* value = raw(key);
    if (!value) return std::string(fallback);
    std::string text = trimmed_blanks_and_tabs(**value);
    if (!utf8_) return text;
    return utf8_to_latin1(text).value_or(std::string());
}

void PrefWriter::write_integer(std::string_view key, std::int32_t value) { write_text(key, integer_to_text(value)); }

void PrefWriter::write_text(std::string_view key, std::string_view text) {
    const auto [it, added] = index_.try_emplace(ascii_lower(key), lines_.size());
    if (added)
        lines_.emplace_back(key, text);
    else
        lines_[it->second] = {std::string(key), std::string(text)};
}

std::string PrefWriter::text() const {
    std::string out;
    for (const auto& [key, value] : lines_) {
        out += key;
        out += " = ";
        out += value;
        out += "\r\n";
    }
    return out;
}

}  // namespace tav
