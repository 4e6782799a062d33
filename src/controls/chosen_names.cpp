#include "controls/chosen_names.h"

#include "model/control_table.h"

namespace tav {

bool lacks_ansi_characters(std::string_view name) { return name.find('?') != std::string_view::npos; }

bool refuse_name_without_ansi_form(Context& ctx, const std::string& name, std::string_view outcome) {
    if (!lacks_ansi_characters(name)) return false;
    ctx.platform.message_box(std::string(kWindowTitle),
                             "\"" + name +
                                 "\"\n\nThis name holds characters that the system's code page lacks (shown as "
                                 "\"?\"), so no batch file or script could name the file. Rename it or choose "
                                 "another. " +
                                 std::string(outcome));
    return true;
}

std::string listed_names(const std::vector<std::string>& names) {
    constexpr size_t kShown = 10;
    std::string text;
    for (size_t i = 0; i < names.size() && i < kShown; ++i) text += "\n" + names[i];
    if (names.size() > kShown) text += "\n... and " + std::to_string(names.size() - kShown) + " more";
    return text;
}

}  // namespace tav
