#include "jobscript/encoder_dialect_use.h"

#include "jobscript/session.h"
#include "model/control_table.h"

namespace tav {
namespace {

// True the first time the user is to be told `what` of this encoder file.
bool first_telling(Context& ctx, std::string_view what, const EncoderFile& file) {
    return ctx.session.told_of_encoders
        .insert(std::string(what) + "|" + file.path + "|" + std::to_string(file.stamp.size) + "|" +
                std::to_string(file.stamp.time))
        .second;
}

}  // namespace

NewLinesEncoder encoder_for_new_lines(Context& ctx) {
    EncoderProbe& probe = ctx.session.encoder_probe;
    probe.look(ctx.platform, ctx.program_folder, kEncoderPatience);
    const EncoderProbe::Status status = probe.status();
    NewLinesEncoder encoder{EncoderDialect(status.answer), std::nullopt};
    if (status.encoder && !status.answered) encoder.unanswered = status.encoder;
    return encoder;
}

void tell_about_encoder(Context& ctx, const NewLinesEncoder& encoder, const OptionSet& unknown_options) {
    if (encoder.unanswered) {
        if (first_telling(ctx, "unanswered", *encoder.unanswered))
            ctx.platform.message_box(
                std::string(kWindowTitle),
                "The encoder \"" + encoder.unanswered->path +
                    "\" has not answered which options it takes, so the new job lines are written as documented "
                    "for the x264 of 2008, and today's x264 refuses some of those options. It is asked again at "
                    "the next \"Add\" or \"Files input\"; the lines written after its answer suit it.");
        return;
    }
    const std::vector<std::string> unknown = option_names(unknown_options);
    const EncoderFile* file = encoder.dialect.encoder();
    if (unknown.empty() || !file || !first_telling(ctx, "unknown options", *file)) return;
    std::string names;
    for (const std::string& name : unknown) names += (names.empty() ? "" : ", ") + name;
    ctx.platform.message_box(std::string(kWindowTitle),
                             "The encoder \"" + file->path + "\" does not list " +
                                 (unknown.size() == 1 ? "the option " : "the options ") + names +
                                 ", which the new job lines carry: they will stop there when the batch runs.");
}

}  // namespace tav
