#include "common/paths.h"

namespace tav {
namespace {

size_t last_separator(std::string_view path) { return path.find_last_of("\\/"); }

// Position of the '.' that starts the extension, or npos.
size_t extension_dot(std::string_view path) {
    const size_t dot = path.rfind('.');
    if (dot == std::string_view::npos) return dot;
    const size_t sep = last_separator(path);
    if (sep != std::string_view::npos && sep > dot) return std::string_view::npos;
    return dot;
}

}  // namespace

std::string file_name(std::string_view path) {
    const size_t sep = last_separator(path);
    return std::string(sep == std::string_view::npos ? path : path.substr(sep + 1));
}

std::string folder_part(std::string_view path) {
    const size_t sep = last_separator(path);
    return sep == std::string_view::npos ? std::string() : std::string(path.substr(0, sep + 1));
}

std::string extension(std::string_view path) {
    const size_t dot = extension_dot(path);
    return dot == std::string_view::npos ? std::string() : std::string(path.substr(dot + 1));
}

bool has_extension(std::string_view path) { return extension_dot(path) != std::string_view::npos; }

std::string stem(std::string_view path) {
    const size_t dot = extension_dot(path);
    if (dot == std::string_view::npos) return std::string(path) + ".";
    return std::string(path.substr(0, dot + 1));
}

std::string without_extension(std::string_view path) {
    const size_t dot = extension_dot(path);
    return std::string(dot == std::string_view::npos ? path : path.substr(0, dot));
}

std::string with_trailing_separator(std::string_view folder) {
    std::string out(folder);
    if (!out.empty() && out.back() != '\\' && out.back() != '/') out += '\\';
    return out;
}

std::string batch_name(std::string_view path) {
    std::string out;
    out.reserve(path.size());
    for (char c : path) {
        out += c;
        if (c == '%') out += '%';
    }
    return out;
}

std::string quoted_batch_name(std::string_view path) {
    std::string out(1, '"');
    out += batch_name(path);
    out += '"';
    return out;
}

}  // namespace tav
