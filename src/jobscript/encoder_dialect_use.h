// The encoder dialect of the lines an action adds, and what the user is
// told when the encoder did not answer or will refuse some of them.
#pragma once

#include <chrono>
#include <optional>

#include "encoder/dialect.h"
#include "model/context.h"

namespace tav {

// The longest an action waits for a question about the encoder that is
// still running (one the window started moments ago, or one about a file
// that just appeared or was replaced); after it the documented lines are
// written.
inline constexpr std::chrono::milliseconds kEncoderPatience{500};

// The encoder an action's new lines are for, as the question about it stands.
struct NewLinesEncoder {
    // Its dialect: the documented one until there is an answer.
    EncoderDialect dialect;
    // An encoder that is there but has not answered: still asked, or no
    // answer in time (it is asked again at the next action).
    std::optional<EncoderFile> unanswered;
};

// Finds the encoder the batch would run, asks it when it is new, was
// replaced or has not answered yet, and waits a moment at most for it.
NewLinesEncoder encoder_for_new_lines(Context& ctx);

// After an action's lines went into the list, once per encoder file: tells
// which encoder did not answer (its lines are in the documented form), or
// names the options (`unknown`) the lines carry that the encoder knows in
// neither form.
void tell_about_encoder(Context& ctx, const NewLinesEncoder& encoder, const OptionSet& unknown);

}  // namespace tav
