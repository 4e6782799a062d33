// The AviSynth wrapper that the program writes into its "avs" folder for a
// media file, made here without the program: the reference run of the
// "Files input" timing writes these with a plain loop. Kept free of the
// platform so a native unit test holds it to the program's own wrappers.
#pragma once

#include <string>
#include <string_view>

namespace tav::bench {

struct PlainWrapper {
    std::string name;  // in the "avs" folder
    std::string text;
};

// `input` is the media file's full path as the program receives it;
// `template_name` is the include template chosen in the window (may be empty).
inline PlainWrapper plain_wrapper(std::string_view input, std::string_view template_name) {
    const std::size_t separator = input.find_last_of("\\/");
    const std::string_view file = separator == std::string_view::npos ? input : input.substr(separator + 1);
    const std::size_t dot = file.rfind('.');
    // The path without its file's extension; a dot in a folder name is no extension.
    const std::string_view stem =
        dot == std::string_view::npos ? input : input.substr(0, input.size() - (file.size() - dot));

    PlainWrapper wrapper;
    wrapper.name = std::string(file) + ".avs";
    wrapper.text.append("fs=\"").append(input).append("\"\r\n");
    wrapper.text.append("mfn=\"").append(stem).append("\"\r\n");
    wrapper.text.append("import(\"..\\avsinc\\").append(template_name).append(".avs\")\r\n");
    return wrapper;
}

}  // namespace tav::bench
