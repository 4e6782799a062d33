#include "settings/pref_file.h"

#include <gtest/gtest.h>

#include <climits>
#include <initializer_list>

namespace tav {
namespace {

// Reads one key's text the way a load does.
std::string text_of(std::string_view file, std::string_view key, std::string_view fallback = "<missing>") {
    const std::string_view keys[] = {key};
    return PrefReader(file, keys).read_text(key, fallback);
}

std::int32_t integer_of(std::string_view file, std::string_view key, std::int32_t fallback = -77) {
    const std::string_view keys[] = {key};
    return PrefReader(file, keys).read_integer(key, fallback);
}

struct LookupCase {
    const char* what;
    std::string file;
    const char* key;
    const char* expected;  // "<missing>" when the key must not be found
};

TEST(PrefFile, LooksUpKeysAsTheFormatSays) {
    const LookupCase cases[] = {
        {"no blanks", "a1=5", "a1", "5"},
        {"one blank each side", "a1 = 5", "a1", "5"},
        {"blanks and tabs", " \t a1 \t = \t 5", "a1", "5"},
        {"capital key in the file", "MODE = 3", "mode", "3"},
        {"capital key asked", "mode = 3", "MODE", "3"},
        {"only A-Z fold", "\xC9t\xE9 = 1", "\xE9t\xE9", "<missing>"},
        {"comment holding '='", "; a1 = 5\r\n", "a1", "<missing>"},
        {"comment after blanks", "  ;a1 = 5\r\na1 = 6", "a1", "6"},
        {"first of duplicates", "a1 = 1\r\na1 = 2", "a1", "1"},
        {"empty value", "a1 =\r\n", "a1", ""},
        {"key without '=' and CR LF", "a1\r\nb = 2", "a1", ""},
        {"key without '=' and LF", "a1\nb = 2", "a1", ""},
        {"key without '=' and CR", "a1\rb = 2", "a1", ""},
        {"key without '=' at the end", "b = 2\r\na1", "a1", ""},
        {"group ends the lookup", "[main]\r\na1 = 1", "a1", "<missing>"},
        {"key before the group", "a1 = 1\r\n[g]\r\na1 = 2", "a1", "1"},
        {"indented group", "  [g]\na1 = 2", "a1", "<missing>"},
        {"LF ends", "x = 0\na1 = 7\n", "a1", "7"},
        {"CR ends", "x = 0\ra1 = 7\r", "a1", "7"},
        {"blank lines and runs of ends", "\r\n\r\n  \t\r\n\n\ra1 = 7\r\n\r\n", "a1", "7"},
        {"value with '=' and ';'", "a1 = b=c;d", "a1", "b=c;d"},
        {"trailing blanks and tabs trimmed", "a1 = x y \t ", "a1", "x y"},
        {"quoted path kept", "cqm = \"C:\\m x\\q.cfg\"", "cqm", "\"C:\\m x\\q.cfg\""},
        {"prefix is no match", "a10 = 1", "a1", "<missing>"},
        {"empty file", "", "a1", "<missing>"},
        {"mark alone", "\xEF\xBB\xBF", "a1", "<missing>"},
    };
    for (const auto& c : cases) EXPECT_EQ(text_of(c.file, c.key), c.expected) << c.what;
}

TEST(PrefFile, IntegersUseTheReadersOwnRule) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"12", 12},
        {"-5", -5},
        {"+7", 7},
        {"1 and more", 1},
        {"x", 0},
        {"", 0},
        {"- 3", 0},
        {"\v\f\r\n 9", 9},
        {"99999999999", INT32_MAX},
        {"-99999999999", INT32_MIN},
        {"2147483647", INT32_MAX},
        {"-2147483648", INT32_MIN},
    };
    for (const auto& [value, expected] : cases) EXPECT_EQ(pref_integer(value), expected) << value;
    EXPECT_EQ(integer_of("a = 4x", "a"), 4);
    EXPECT_EQ(integer_of("a =", "a"), 0) << "present but empty is 0, not the fallback";
    EXPECT_EQ(integer_of("b = 1", "a"), -77);
    EXPECT_EQ(integer_of("[g]\r\na = 1", "a"), -77);
}

TEST(PrefFile, KeptLinesAreClassified) {
    const auto entries = parse_pref_entries("; one\r\n;  two\n\t;x\r[grp] tail\r\n[open\r\nk=v  \r\nlone\r\n \r\n");
    ASSERT_EQ(entries.size(), 7u);
    const std::tuple<PrefEntryKind, const char*, const char*> expected[] = {
        {PrefEntryKind::Comment, "one", ""}, {PrefEntryKind::Comment, " two", ""}, {PrefEntryKind::Comment, "x", ""},
        {PrefEntryKind::Group, "grp", ""},   {PrefEntryKind::Group, "open", ""},   {PrefEntryKind::Key, "k", "v  "},
        {PrefEntryKind::Key, "lone", ""},
    };
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].kind, std::get<0>(expected[i])) << i;
        EXPECT_EQ(entries[i].name, std::get<1>(expected[i])) << i;
        EXPECT_EQ(entries[i].value, std::get<2>(expected[i])) << i;
    }
}

TEST(PrefFile, LineEndStylesReadAlike) {
    const char* keys_and_values = "a1 = 1|mode = 3|cqm = \"q.cfg\"|value = 26";
    std::string crlf, lf, cr;
    for (char c : std::string(keys_and_values)) {
        crlf += c == '|' ? std::string("\r\n") : std::string(1, c);
        lf += c == '|' ? '\n' : c;
        cr += c == '|' ? '\r' : c;
    }
    for (const char* key : {"a1", "mode", "cqm", "value"}) {
        EXPECT_EQ(text_of(lf, key), text_of(crlf, key)) << key;
        EXPECT_EQ(text_of(cr, key), text_of(crlf, key)) << key;
    }
    EXPECT_EQ(text_of(cr, "cqm"), "\"q.cfg\"");
}

TEST(PrefFile, ByteOrderMarkSwitchesToUtf8) {
    const std::string mark = "\xEF\xBB\xBF";
    const std::string_view key[] = {"a1"};
    EXPECT_TRUE(PrefReader(mark + "a1 = 1", key).utf8());
    EXPECT_FALSE(PrefReader("\xEF\xBB"
                            "a1 = 1",
                            key)
                     .utf8());
    EXPECT_FALSE(PrefReader("a1 = 1", key).utf8());

    // Plain ASCII reads the same with and without the mark.
    const std::string plain = "a1 = 1\r\nvalue = 26 \r\n";
    EXPECT_EQ(text_of(mark + plain, "a1"), text_of(plain, "a1"));
    EXPECT_EQ(text_of(mark + plain, "value"), "26");
    EXPECT_EQ(integer_of(mark + plain, "a1"), 1);

    const std::pair<std::string, std::string> values[] = {
        {"caf\xC3\xA9", "caf\xE9"},  // U+00E9 back to one byte
        {"\xC2\xA0x", "\xA0x"},      // the lowest two-byte character
        {"\xE2\x82\xAC", ""},        // U+20AC is above U+00FF
        {"\xF0\x9F\x98\x80", ""},    // four bytes
        {"ab\xC3", ""},              // cut short
        {"\xC3(", ""},               // bad continuation
        {"\xC1\xA9", ""},            // overlong form
        {"\xE9", ""},                // a single byte is not UTF-8
    };
    for (const auto& [raw, expected] : values) EXPECT_EQ(text_of(mark + "t = " + raw, "t"), expected) << raw;
    // Without the mark the bytes stay as they are.
    EXPECT_EQ(text_of("t = caf\xC3\xA9", "t"), "caf\xC3\xA9");

    // A key asked for is compared in its UTF-8 form.
    EXPECT_EQ(text_of(mark + "\xC3\xA9t\xC3\xA9 = 1", "\xE9t\xE9"), "1");
    EXPECT_EQ(text_of("\xE9t\xE9 = 1", "\xE9t\xE9"), "1");
    EXPECT_EQ(text_of(mark + "\xE9t\xE9 = 1", "\xE9t\xE9"), "<missing>");
}

TEST(PrefFile, Utf8ConversionsRoundTripEverySingleByte) {
    std::string all;
    for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
    const std::string encoded = latin1_to_utf8(all);
    EXPECT_EQ(encoded.size(), 127u + 2u * 128u);
    EXPECT_EQ(utf8_to_latin1(encoded), all);
}

TEST(PrefFile, ManyKeysAreFoundInOnePass) {
    const std::string file = "; settings\r\nB = 2\r\na = 1\r\nc\r\nb = 9\r\n[x]\r\nd = 4\r\n";
    const std::string_view keys[] = {"a", "b", "c", "d", "e"};
    const PrefReader reader(file, keys);
    EXPECT_EQ(reader.read_text("a", "-"), "1");
    EXPECT_EQ(reader.read_text("B", "-"), "2");
    EXPECT_EQ(reader.read_text("c", "-"), "");
    EXPECT_EQ(reader.read_text("d", "-"), "-");
    EXPECT_EQ(reader.read_text("e", "-"), "-");
    EXPECT_EQ(reader.read_text("not asked", "-"), "-");
}

TEST(PrefFile, WriterMakesOneCrLfLinePerKey) {
    PrefWriter none;
    EXPECT_EQ(none.text(), "") << "nothing written leaves the created file empty";

    PrefWriter three;
    three.write_integer("mode", -3);
    three.write_text("cqm", "\"C:\\q.cfg\"");
    three.write_text("avsinc", "");
    EXPECT_EQ(three.text(), "mode = -3\r\ncqm = \"C:\\q.cfg\"\r\navsinc = \r\n");

    // A key written again replaces its line in place, spelled as now written.
    PrefWriter again;
    again.write_integer("a", 1);
    again.write_integer("b", 2);
    again.write_text("A", "x");
    EXPECT_EQ(again.text(), "A = x\r\nb = 2\r\n");
}

TEST(PrefFile, WrittenTextReadsBack) {
    PrefWriter w;
    const std::pair<const char*, const char*> values[] = {
        {"cqm", "\"D:\\m;x=1.cfg\""}, {"value", "26"}, {"avsinc", ""}, {"odd", "a = b"}, {"neg", "-12"},
    };
    std::vector<std::string_view> keys;
    for (const auto& [k, v] : values) {
        w.write_text(k, v);
        keys.push_back(k);
    }
    const PrefReader r(w.text(), keys);
    for (const auto& [k, v] : values) EXPECT_EQ(r.read_text(k, "<missing>"), v) << k;
    EXPECT_EQ(r.read_integer("neg", 0), -12);
}

}  // namespace
}  // namespace tav
