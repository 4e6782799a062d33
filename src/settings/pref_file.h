// Preference files: line-oriented key/value texts in the style of an INI
// file. Reading and writing are pure functions over whole-file byte strings;
// the platform reads and writes the files themselves.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tav {

enum class PrefEntryKind { Comment, Group, Key };

// One kept line of a file. For a comment `name` is its text, for a group
// its name; `value` is only used by key lines.
struct PrefEntry {
    PrefEntryKind kind;
    std::string_view name;
    std::string_view value;
};

// The three bytes that switch a file to UTF-8 mode.
inline constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// Calls `visit` for every kept line of `body` (the file without its mark), in
// file order, until it returns false. Empty lines are not kept; CR LF, LF and
// CR all end a line. The views point into `body`.
void for_each_pref_entry(std::string_view body, const std::function<bool(const PrefEntry&)>& visit);

// Every kept line of `body`, in file order.
std::vector<PrefEntry> parse_pref_entries(std::string_view body);

// The settings reader's integer rule: white space (blank, tab, CR, LF,
// vertical tab, form feed) skipped, an optional sign, decimal digits up to
// the first other character; no digits give 0; saturates at 32 bits.
std::int32_t pref_integer(std::string_view value);

// Single-byte text as UTF-8, each byte the character of the same number.
std::string latin1_to_utf8(std::string_view text);
// UTF-8 back to single bytes; nullopt when the text is not valid UTF-8 or
// holds a character above U+00FF.
std::optional<std::string> utf8_to_latin1(std::string_view text);

// An opened file, reduced to the keys the program asks for. Every key is
// looked up as the format says: comments skipped, the first group ends the
// search, letter case of A-Z ignored, the first match wins. All keys are
// found in one pass over the file, so reading stays linear in its size.
class PrefReader {
public:
    PrefReader(std::string_view file, std::span<const std::string_view> keys);

    bool utf8() const { return utf8_; }
    // The value of a found key; the fallback for a key not found or not
    // among the keys given at construction.
    std::int32_t read_integer(std::string_view key, std::int32_t fallback) const;
    // The found value without leading and trailing blanks and tabs; in UTF-8
    // mode decoded to single bytes ("" when it cannot be). The fallback,
    // unchanged, when the key is not found.
    std::string read_text(std::string_view key, std::string_view fallback) const;

private:
    const std::optional<std::string>* raw(std::string_view key) const;

    bool utf8_ = false;
    // Asked key (lower-cased A-Z) -> raw value of its first match.
    std::unordered_map<std::string, std::optional<std::string>> found_;
};

// A preference file being created: key lines in write order. Writing a key
// already present (ignoring the case of A-Z) replaces that line's key and
// value instead of adding a line.
class PrefWriter {
public:
    void write_integer(std::string_view key, std::int32_t value);
    void write_text(std::string_view key, std::string_view text);

    // The file's bytes: "key = value" and CR LF per line; empty when
    // nothing was written.
    std::string text() const;

private:
    std::vector<std::pair<std::string, std::string>> lines_;
    std::unordered_map<std::string, size_t> index_;  // lower-cased key -> line
};

}  // namespace tav
