// Names handed to the program from outside its window: files dropped on it
// from Explorer, and the files and folders named on its command line (by a
// drop on the program's icon or "Send To"). Each comes as the program's ANSI
// text, with '?' for a character the code page lacks, as from the dialogs.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

namespace tav {

// Lets the window take files dropped on it or on any of its controls,
// also from an Explorer that runs with fewer rights than the program.
void accept_dropped_files(HWND window);

// The names of a drop, in the order dropped. The drop is not finished here.
std::vector<std::string> dropped_file_names(HDROP drop);

// The arguments after the program's own name, as the system splits the
// command line (quoted names may hold blanks), each made a full path from
// the current directory.
std::vector<std::string> command_line_file_names();

}  // namespace tav
