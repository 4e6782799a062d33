// What the program keeps for the life of its window besides what the
// controls show. Every operation reaches it through the context, so each
// window (and each test) has its own.
#pragma once

#include "model/input_names.h"

namespace tav {

struct Session {
    InputNames input_names;
};

}  // namespace tav
