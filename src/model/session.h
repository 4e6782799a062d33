// What the program keeps for the life of its window besides what the
// controls show. Every operation reaches it through the context, so each
// window (and each test) has its own.
#pragma once

#include "model/encoder_probe.h"
#include "model/input_names.h"

namespace tav {

class JobListCopy;

struct Session {
    InputNames input_names;
    // The job list's copy on disk, when the window keeps one.
    JobListCopy* job_list_copy = nullptr;
    // What the encoder the batch would run says it takes.
    EncoderProbe encoder_probe;
};

}  // namespace tav
