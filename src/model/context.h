// What every operation of the program works on: the window's controls and
// the platform. The program folder is asked once at start and kept here.
#pragma once

#include <string>

#include "model/control_surface.h"
#include "model/platform.h"

namespace tav {

struct Context {
    ControlSurface& ui;
    Platform& platform;
    std::string program_folder;  // ends with '\'
};

}  // namespace tav
