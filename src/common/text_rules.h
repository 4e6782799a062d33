// Text rules shared by every part of the program: how numbers are read from
// control texts and written back, trimming, letter case, and the six-decimal
// ratio text of the encoder options.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tav {

// Integer from text: leading blanks and tabs skipped, one optional '+' or
// '-', then decimal digits up to the first other character; no digits give 0.
// Values beyond 32 bits saturate at INT32_MIN / INT32_MAX.
std::int32_t integer_from_text(std::string_view text);

// Decimal text, a leading '-' when negative.
std::string integer_to_text(std::int64_t value);

// A real number as C's strtod reads it after leading blanks (sign, digits,
// point, exponent); what does not parse gives 0.
double real_from_text(std::string_view text);

// The text without leading and trailing blanks (space only; tabs stay).
std::string trimmed_blanks(std::string_view text);

// The text without leading and trailing blanks and tabs.
std::string trimmed_blanks_and_tabs(std::string_view text);

// First character, or the empty text.
std::string first_character(std::string_view text);

// A-Z and Latin-1 0xC0..0xDE raised by 0x20; everything else unchanged.
std::string lower_cased(std::string_view text);

// File names in the order Explorer lists them: runs of digits compare by
// their value ("ep2" before "ep10"), other characters as lower_cased gives
// them; names that differ only in letter case or in zeros before a number
// keep one fixed order.
bool natural_less(std::string_view a, std::string_view b);

// Equal when the texts differ at most in the letter case of A-Z.
bool equals_ignoring_ascii_case(std::string_view a, std::string_view b);

// A ratio held in single precision, widened and printed with "%f".
std::string six_decimal_text(float value);

// True when `text` begins with `prefix`.
inline bool starts_with(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

}  // namespace tav
