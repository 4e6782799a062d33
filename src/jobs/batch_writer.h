// The one way the job list becomes a batch file: "Make BAT" and "Start"
// both write through here.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/context.h"

namespace tav {

// What a batch holds around the job lines.
struct BatchLayout {
    // Lines after the change into the program folder, before the tools'
    // path is set.
    std::span<const std::string_view> before_setpath = {};
    // The last line, written without a line end; empty: none.
    std::string last_line = {};
};

// The whole text of a batch: the header that enters the program folder
// (then the layout's lines) and sets the tools' path, then every line, each
// ended by CR LF, then the layout's last line.
std::string batch_file_text(std::string_view program_folder, const std::vector<std::string>& lines,
                            const BatchLayout& layout = {});

// Writes the job list into `path`: the folder and the lines in the console's
// code page, with every job the console cannot carry left out and named to
// the user; then selects the list's last line. A batch that cannot be
// written is reported. True when the file was written.
bool write_job_list_batch(Context& ctx, const std::string& path, const BatchLayout& layout = {});

// "Make BAT": writes the job list into a batch file the user names.
void make_bat(Context& ctx);

}  // namespace tav
