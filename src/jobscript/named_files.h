// Files handed to the program from outside its window: dropped on it from
// Explorer, or named on its command line. They become jobs exactly as the
// selection of "Files input" does; a folder stands for the media files
// directly in it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/context.h"

namespace tav {

// True when the file name's extension, letter case aside, is one of the
// media files a folder gives: AviSynth scripts and the common video
// containers and streams.
bool is_media_file_name(std::string_view name);

// Names in the order given: a file is taken whatever its extension; a folder
// gives its media files (not those of its subfolders) in the order Explorer
// lists them. Then, as "Files input": the output folder, and one job per
// file. Names that do not exist, names the code page cannot carry and
// folders without media files are told in one box; when nothing is left to
// add, the box says why and no folder is asked for.
void add_jobs_for_named_files(Context& ctx, const std::vector<std::string>& names);

}  // namespace tav
