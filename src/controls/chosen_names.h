// Names chosen in the file dialogs that the program cannot carry: a file
// whose name holds characters the ANSI code page lacks comes back with '?'
// in their place, and no batch line, wrapper or tool could name it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/context.h"

namespace tav {

// True when the name holds characters the ANSI code page lacks.
bool lacks_ansi_characters(std::string_view name);

// When the chosen name lacks them, tells the user which file and that
// `outcome` (e.g. "The fields keep their texts."), and returns true: the
// caller then leaves the choice unused.
bool refuse_name_without_ansi_form(Context& ctx, const std::string& name, std::string_view outcome);

// The names for a message box, one a line, each after a line end: up to
// ten, then how many more, so the box fits on the screen.
std::string listed_names(const std::vector<std::string>& names);

}  // namespace tav
