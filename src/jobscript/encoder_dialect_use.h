// The encoder dialect of the lines an action adds, and what the user is
// told when the encoder will refuse some of them.
#pragma once

#include <chrono>

#include "encoder/dialect.h"
#include "model/context.h"

namespace tav {

// The longest an action waits for a question about the encoder that is
// still running (one the window started moments ago, or one about a file
// that just appeared or was replaced); after it the documented lines are
// written.
inline constexpr std::chrono::milliseconds kEncoderPatience{500};

// Finds the encoder the batch would run, asks it when it is new or was
// replaced, and gives the dialect of its answer (the documented one until
// there is an answer).
EncoderDialect dialect_for_new_lines(Context& ctx);

// Once per encoder file: names the options (`unknown`) that the new lines,
// built with the dialect, carry although the encoder knows them in neither
// form.
void tell_unknown_options(Context& ctx, const EncoderDialect& dialect, const OptionSet& unknown);

}  // namespace tav
