#include "settings/config_files.h"

#include "common/paths.h"
#include "common/working_folders.h"
#include "model/control_ids.h"
#include "settings/settings_model.h"

namespace tav {
namespace {

std::string preset_folder(const Context& ctx) { return ctx.program_folder + std::string(folder::kPresets); }

std::string preset_path(const Context& ctx) {
    return preset_folder(ctx) + "\\" + ctx.ui.text(ctl::PresetName) + ".ini";
}

// Names without their last extension, in directory order.
void fill_from_folder(Context& ctx, int list, const std::string& folder, const std::string& pattern) {
    std::vector<std::string> names;
    for (const std::string& file : ctx.platform.list_files(folder, pattern)) names.push_back(without_extension(file));
    ctx.ui.append_items(list, names);
}

void refill_presets(Context& ctx) {
    ctx.ui.clear_items(ctl::PresetName);
    ctx.ui.set_text(ctl::PresetName, "");
    fill_from_folder(ctx, ctl::PresetName, preset_folder(ctx), "*.ini");
}

}  // namespace

void refresh_lists(Context& ctx) {
    refill_presets(ctx);
    ctx.ui.clear_items(ctl::Template);
    fill_from_folder(ctx, ctl::Template, ctx.program_folder + std::string(folder::kTemplatesListed), "*.avs");
}

void save_preset(Context& ctx) {
    if (ctx.platform.ask_yes_no("Save", "Are you sure?") && !ctx.ui.text(ctl::PresetName).empty())
        save_settings(ctx, preset_path(ctx));
    refill_presets(ctx);
}

void load_preset(Context& ctx) {
    const std::string path = preset_path(ctx);
    // An unknown name makes an empty preset, which loads as the fallbacks.
    if (!ctx.platform.file_exists(path) && !ctx.platform.write_file(path, "")) return;
    // A preset that is there but cannot be read is left alone like one that
    // cannot be made: the controls keep the user's settings.
    load_readable_settings(ctx, path);
}

}  // namespace tav
