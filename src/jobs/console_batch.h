// Batch files in the code page the command interpreter reads them in.
//
// The window, the dialogs, the wrappers and the tools work in the ANSI code
// page; the interpreter decodes a batch file in the console's (OEM) code
// page, where accented letters have other bytes. Every batch the program
// writes goes through here on its way to the file. Plain ASCII stays byte
// for byte; a job with a line the console code page cannot carry exactly is
// left out whole (a job missing a line could mux or delete the wrong files)
// and reported, never written with a look-alike name.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/context.h"

namespace tav {

struct ConsoleBatch {
    // The program folder as the header's "cd" names it; nullopt when the
    // console code page cannot carry it, and then no batch can run.
    std::optional<std::string> program_folder;
    // The lines to write, converted.
    std::vector<std::string> lines;
    // For each job (or line outside any job) left out, its first line that
    // cannot be carried, as the job list shows it.
    std::vector<std::string> left_out;
};

// The text in the console code page; nullopt when it cannot be carried.
std::optional<std::string> console_text(Platform& platform, std::string_view ansi_text);

// Converts the header's folder and the job lines (taken over, converted in
// place). A job runs from its start marker to the next end marker, or to
// the end of the list when its end marker is gone, as "del" finds it.
ConsoleBatch console_batch(Context& ctx, std::vector<std::string> lines);

// Tells the user why no batch could be written, or which jobs `batch_path`
// leaves out; shows nothing when the batch holds everything.
void report_console_batch(Context& ctx, const ConsoleBatch& batch, const std::string& batch_path);

}  // namespace tav
