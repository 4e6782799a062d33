// What every operation of the program works on: the window's controls, the
// platform and the window's session. The program folder is asked once at
// start and kept here.
#pragma once

#include <string>

#include "model/control_surface.h"
#include "model/platform.h"
#include "model/session.h"

namespace tav {

struct Context {
    ControlSurface& ui;
    Platform& platform;
    std::string program_folder;  // ends with '\'
    Session& session;
};

}  // namespace tav
