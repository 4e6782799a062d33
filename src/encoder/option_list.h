// The options an x264 encoder says it takes, read from the list it prints
// for "--fullhelp" (or "--longhelp"). A line that defines options begins,
// after a short indent, with the option names separated by ", " and may
// name a value right after them ("  -I, --keyint <integer>   ...",
// "      --sar width:height   ..."); options named inside descriptions or
// sub-lists (deeper indents) are not definitions.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tav {

class OptionList {
public:
    // nullopt when the text does not read as an x264 option list: it never
    // names x264, or defines too few options to be one.
    static std::optional<OptionList> parse(std::string_view help);

    // The name exactly as written, short ("-I") or long ("--keyint").
    bool defines(std::string_view name) const { return options_.count(std::string(name)) > 0; }
    // True when the option is defined with a value after it.
    bool takes_value(std::string_view name) const {
        const auto found = options_.find(std::string(name));
        return found != options_.end() && found->second;
    }
    std::size_t size() const { return options_.size(); }

private:
    std::unordered_map<std::string, bool> options_;  // name -> takes a value
};

}  // namespace tav
