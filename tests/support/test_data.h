// Files of tests/data: option lists that x264 encoders print.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace tav::test {

inline std::string test_data(const char* name) {
    const auto path = std::filesystem::path(__FILE__).parent_path() / ".." / "data" / name;
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("missing test data " + path.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Today's x264 (core 164) answering "--fullhelp".
inline const std::string& todays_option_list() {
    static const std::string text = test_data("x264-core164-fullhelp.txt");
    return text;
}
// An x264 of 2008 (r987) answering "--longhelp"; it knows no "--fullhelp".
inline const std::string& era_option_list() {
    static const std::string text = test_data("x264-r987-longhelp.txt");
    return text;
}

// The help without the lines that define the named options: a cut-down build.
inline std::string without_definitions(std::string help, std::initializer_list<const char*> names) {
    for (const char* name : names) {
        const std::string definition = std::string(name) + " ";
        std::string kept;
        for (size_t start = 0; start < help.size();) {
            size_t end = help.find('\n', start);
            end = end == std::string::npos ? help.size() : end + 1;
            const std::string line = help.substr(start, end - start);
            const size_t at = line.find(definition);
            if (at == std::string::npos || line.find_first_not_of(' ') != at) kept += line;
            start = end;
        }
        help = kept;
    }
    return help;
}

// The five changes that let today's x264 run a documented line: the
// options it refuses dropped and the B-frame pyramid given as a value.
// Names must hold no blanks.
inline std::string in_todays_form(const std::string& line) {
    std::vector<std::string> tokens;
    for (size_t start = 0; start < line.size();) {
        const size_t end = std::min(line.find(' ', start), line.size());
        if (end > start) tokens.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    std::string out;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const std::string& token = tokens[i];
        if (token == "--progress" || token == "--no-psnr" || token == "--no-ssim" || token == "--bime" ||
            token == "--b-rdo")
            continue;
        out += (out.empty() ? "" : " ") + token;
        if (token == "--b-pyramid") out += " normal";
        if (token == "--b-bias" && i + 1 < tokens.size()) {
            out += " " + tokens[++i];
            if (i + 1 >= tokens.size() || tokens[i + 1] != "--b-pyramid") out += " --b-pyramid none";
        }
    }
    return out;
}

}  // namespace tav::test
