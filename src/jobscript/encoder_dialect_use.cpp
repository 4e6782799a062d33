#include "jobscript/encoder_dialect_use.h"

#include "model/control_table.h"
#include "jobscript/session.h"

namespace tav {

EncoderDialect dialect_for_new_lines(Context& ctx) {
    ctx.session.encoder_probe.look(ctx.platform, ctx.program_folder, kEncoderPatience);
    return EncoderDialect(ctx.session.encoder_probe.answer());
}

void tell_unknown_options(Context& ctx, const EncoderDialect& dialect, const OptionSet& unknown_options) {
    const std::vector<std::string> unknown = option_names(unknown_options);
    const EncoderFile* encoder = dialect.encoder();
    if (unknown.empty() || !encoder || !ctx.session.encoder_probe.first_telling(*encoder)) return;
    std::string names;
    for (const std::string& name : unknown) names += (names.empty() ? "" : ", ") + name;
    ctx.platform.message_box(std::string(kWindowTitle),
                             "The encoder \"" + encoder->path + "\" does not list " +
                                 (unknown.size() == 1 ? "the option " : "the options ") + names +
                                 ", which the new job lines carry: they will stop there when the batch runs.");
}

}  // namespace tav
