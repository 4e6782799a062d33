// What every operation of the program works on: the window's controls, the
// platform and the window's session. The program folder is asked once at
// start and kept here.
#pragma once

#include <string>

#include "model/control_surface.h"
#include "model/platform.h"

namespace tav {

// The window's session (jobscript/session.h): the names handed out to
// inputs and what the encoder says it takes. Only the job builders look
// inside it.
struct Session;

struct Context {
    ControlSurface& ui;
    Platform& platform;
    std::string program_folder;  // ends with '\'
    Session& session;
};

}  // namespace tav
