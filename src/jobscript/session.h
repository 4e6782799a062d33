// What the program keeps for the life of its window besides what the
// controls show, for the jobs it builds. Every operation reaches it through
// the context, so each window (and each test) has its own.
#pragma once

#include "encoder/encoder_probe.h"
#include "jobscript/input_names.h"

namespace tav {

struct Session {
    InputNames input_names;
    // What the encoder the batch would run says it takes.
    EncoderProbe encoder_probe;
};

}  // namespace tav
