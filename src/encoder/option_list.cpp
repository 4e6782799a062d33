#include "encoder/option_list.h"

#include <cctype>
#include <vector>

namespace tav {
namespace {

// Definitions stand at the left; descriptions and their sub-lists are
// indented far deeper (x264 puts them at 30 columns and more).
constexpr std::size_t kDeepestDefinition = 8;
// Even a cut-down build lists more than this; a usage line or an error
// message does not.
constexpr std::size_t kFewestOptions = 10;

bool is_alnum(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }

// Length of the option name at the start of `rest` ("-I" or "--keyint"),
// or 0 when none starts there.
std::size_t name_length(std::string_view rest) {
    if (rest.size() < 2 || rest[0] != '-') return 0;
    if (rest[1] == '-') {
        if (rest.size() < 3 || !is_alnum(rest[2])) return 0;
        std::size_t n = 3;
        while (n < rest.size() && (is_alnum(rest[n]) || rest[n] == '-')) ++n;
        return n;
    }
    if (!is_alnum(rest[1])) return 0;
    // A short name is one character, then a separator or the line's end.
    if (rest.size() > 2 && rest[2] != ',' && rest[2] != ' ' && rest[2] != '\t') return 0;
    return 2;
}

bool names_x264(std::string_view help) {
    for (std::size_t i = 0; i + 4 <= help.size(); ++i) {
        if ((help[i] == 'x' || help[i] == 'X') && help.compare(i + 1, 3, "264") == 0) return true;
    }
    return false;
}

}  // namespace

std::optional<OptionList> OptionList::parse(std::string_view help) {
    if (!names_x264(help)) return std::nullopt;
    OptionList list;
    while (!help.empty()) {
        const std::size_t end = help.find('\n');
        std::string_view line = help.substr(0, end);
        help.remove_prefix(end == std::string_view::npos ? help.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        const std::size_t indent = line.find_first_not_of(" \t");
        if (indent == std::string_view::npos || indent > kDeepestDefinition) continue;
        std::string_view rest = line.substr(indent);
        std::vector<std::string_view> names;
        while (const std::size_t n = name_length(rest)) {
            names.push_back(rest.substr(0, n));
            rest.remove_prefix(n);
            if (rest.size() < 2 || rest[0] != ',' || rest[1] != ' ' || name_length(rest.substr(2)) == 0) break;
            rest.remove_prefix(2);
        }
        // One blank, then the value's placeholder; a description stands
        // further off.
        const bool value = rest.size() >= 2 && rest[0] == ' ' && rest[1] != ' ' && rest[1] != '\t';
        for (std::string_view name : names) list.options_.emplace(std::string(name), value);
    }
    if (list.size() < kFewestOptions) return std::nullopt;
    return list;
}

}  // namespace tav
