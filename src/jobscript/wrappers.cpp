#include "jobscript/wrappers.h"

#include "common/paths.h"
#include "common/text_rules.h"
#include "common/working_folders.h"

namespace tav {
namespace {

std::string first_line(const std::string& input) { return "fs=\"" + input + "\"\r\n"; }

}  // namespace

std::string wrapper_text(const std::string& input, const std::string& template_name) {
    return first_line(input) + "mfn=\"" + without_extension(input) + "\"\r\n" + "import(\"..\\" +
           std::string(folder::kTemplates) + "\\" + template_name + ".avs\")\r\n";
}

std::string input_named_by_wrapper(std::string_view text) {
    constexpr std::string_view kStart = "fs=\"";
    const size_t end = text.find("\"\r\n");
    if (!text.starts_with(kStart) || end == std::string_view::npos) return {};
    return std::string(text.substr(kStart.size(), end - kStart.size()));
}

bool wrapper_names_input(std::string_view text, const std::string& input) {
    const std::string own_line = first_line(input);
    return equals_ignoring_ascii_case(text.substr(0, own_line.size()), own_line);
}

std::string wrapper_folder(const std::string& program_folder) {
    return program_folder + std::string(folder::kWrappers) + "\\";
}

std::string wrapper_name(const std::string& own_name) { return own_name + ".avs"; }

std::string wrapper_path(const std::string& program_folder, const std::string& own_name) {
    return wrapper_folder(program_folder) + wrapper_name(own_name);
}

std::optional<std::string> own_name_in(const std::string& program_folder, std::string_view folder,
                                       std::string_view ending, std::string_view path) {
    const std::string start = program_folder + std::string(folder) + "\\";
    if (path.size() <= start.size() + ending.size()) return std::nullopt;
    if (!equals_ignoring_ascii_case(path.substr(0, start.size()), start)) return std::nullopt;
    if (!equals_ignoring_ascii_case(path.substr(path.size() - ending.size()), ending)) return std::nullopt;
    std::string_view own = path.substr(start.size(), path.size() - start.size() - ending.size());
    if (own.find_first_of("\\/") != std::string_view::npos) return std::nullopt;
    return std::string(own);
}

}  // namespace tav
