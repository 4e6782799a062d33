#include "common/text_rules.h"

#include <cstdio>
#include <cstdlib>
#include <limits>

namespace tav {

std::int32_t integer_from_text(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    const std::int64_t limit = negative ? kMax + 1 : kMax;
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > limit) value = limit;  // saturate, keep scanning digits
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

std::string integer_to_text(std::int64_t value) { return std::to_string(value); }

double real_from_text(std::string_view text) {
    std::string copy(text);  // strtod needs a terminated string
    const char* begin = copy.c_str();
    while (*begin == ' ' || *begin == '\t') ++begin;
    // Only decimal forms: hexadecimal, "inf" and "nan" are not numbers here.
    const char* p = begin;
    if (*p == '+' || *p == '-') ++p;
    if (!((*p >= '0' && *p <= '9') || (*p == '.' && p[1] >= '0' && p[1] <= '9'))) return 0.0;
    if (*p == '0' && (p[1] == 'x' || p[1] == 'X')) return 0.0;
    char* end = nullptr;
    const double v = std::strtod(begin, &end);
    return end == begin ? 0.0 : v;
}

std::string trimmed_blanks(std::string_view text) {
    const size_t b = text.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    const size_t e = text.find_last_not_of(' ');
    return std::string(text.substr(b, e - b + 1));
}

std::string trimmed_blanks_and_tabs(std::string_view text) {
    const size_t b = text.find_first_not_of(" \t");
    if (b == std::string_view::npos) return {};
    const size_t e = text.find_last_not_of(" \t");
    return std::string(text.substr(b, e - b + 1));
}

std::string first_character(std::string_view text) {
    return text.empty() ? std::string() : std::string(1, text.front());
}

namespace {

unsigned char lower_byte(char ch) {
    const unsigned char c = static_cast<unsigned char>(ch);
    return (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE) ? static_cast<unsigned char>(c + 0x20) : c;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The run of digits at `at`, without its leading zeros; `at` moves past it.
std::string_view number_at(std::string_view text, size_t& at) {
    const size_t start = at;
    while (at < text.size() && is_digit(text[at])) ++at;
    const std::string_view digits = text.substr(start, at - start);
    const size_t first = digits.find_first_not_of('0');
    return first == std::string_view::npos ? std::string_view() : digits.substr(first);
}

}  // namespace

std::string lower_cased(std::string_view text) {
    std::string out(text);
    for (char& ch : out) ch = static_cast<char>(lower_byte(ch));
    return out;
}

bool natural_less(std::string_view a, std::string_view b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (is_digit(a[i]) && is_digit(b[j])) {
            // Numbers of any length: more digits is more, else digit by digit.
            const std::string_view x = number_at(a, i), y = number_at(b, j);
            if (x.size() != y.size()) return x.size() < y.size();
            if (x != y) return x < y;
            continue;
        }
        const unsigned char x = lower_byte(a[i]), y = lower_byte(b[j]);
        if (x != y) return x < y;
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size()) return j < b.size();
    return a < b;
}

bool equals_ignoring_ascii_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x += 0x20;
        if (y >= 'A' && y <= 'Z') y += 0x20;
        if (x != y) return false;
    }
    return true;
}

std::string six_decimal_text(float value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%f", static_cast<double>(value));
    return buf;
}

}  // namespace tav
