// What the program keeps for the life of its window besides what the
// controls show, for the jobs it builds. Every operation reaches it through
// the context, so each window (and each test) has its own.
#pragma once

#include <set>
#include <string>

#include "encoder/encoder_probe.h"
#include "jobscript/input_names.h"

namespace tav {

struct Session {
    InputNames input_names;
    // What the encoder the batch would run says it takes.
    EncoderProbe encoder_probe;
    // What the user was told of which encoder file, so each is told once.
    std::set<std::string> told_of_encoders;
};

}  // namespace tav
