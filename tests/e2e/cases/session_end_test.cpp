// The end of the Windows session is an exit: the settings are saved, a list
// run to its end with "Start" goes, and any other list is offered back at
// the next start, saying why.
#include <windows.h>

#include <tlhelp32.h>

#include "e2ejobs_support.h"
#include "e2esettings_support.h"

namespace tav::e2e::jobs {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using settings_support::copies_in;

// Ends the Windows session of the prefix, as logging off does, and waits
// for the program to end.
void end_session(Program& program) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string command = "wineboot.exe --end-session";
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        throw Abort("wineboot could not be started");
    WaitForSingleObject(process.hProcess, 30000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    program.wait_exit();
}

// True once no process the program started runs any more.
bool children_ended(const Program& program) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        found = found || entry.th32ParentProcessID == program.process_id();
    CloseHandle(snapshot);
    return !found;
}

TAV_CASE(the_end_of_the_session_saves_the_settings_and_keeps_a_list_never_started) {
    const fs::path folder = make_temp_folder("tav-e2e-session-");
    Lines lines;
    {
        Program first({.program_folder = folder});
        add_quick_job(first, "D:\\a.avs", "D:\\a.mp4");
        first.select_tab(kJobTab);
        first.click(ctl::Shut);
        first.select_tab(kBitrateTab);
        first.select(ctl::Mode, 5);  // a setting the saved file must show
        lines = list_lines(first);
        end_session(first);
    }
    CHECK(("\n" + read_file(folder / "tavrelion.ini")).find("\nmode = 5\r\n") != std::string::npos);
    CHECK_EQ(copies_in(folder).size(), 1u);

    Program second({.program_folder = folder});
    HWND box = second.wait_dialog();
    CHECK_EQ(Program::dialog_text(box),
             "The job list of an earlier run, left when Windows ended its session, holds 7 lines. It holds a "
             "shutdown line (\"shutdown.exe -s -f -t 30\"): a batch made from it switches the computer off when it "
             "gets there. Put them back into the job list?");
    Program::press(box, IDYES);
    second.settle();
    CHECK_EQ(list_lines(second), lines);
    CHECK_EQ(second.selection(ctl::Mode), 5);
    CHECK_EQ(second.close(), 0u);
    CHECK_EQ(copies_in(folder), Lines{});
    std::error_code ignored;
    if (failure_count() == 0) fs::remove_all(folder, ignored);
}

TAV_CASE(a_list_run_to_its_end_with_start_is_not_offered_after_the_end_of_the_session) {
    const fs::path folder = make_temp_folder("tav-e2e-session-");
    const fs::path scratch = make_temp_folder("tav-e2e-log-");
    {
        ToolEnvironment tools(scratch / "tools.log", 0);
        Program first({.program_folder = folder});
        add_quick_job(first, "D:\\a.avs", "D:\\a.mp4");
        first.select_tab(kJobTab);
        first.click(ctl::Start);
        REQUIRE(wait_until([&] { return runs_of(tools.runs(), "x264.exe").size() == 1u; }, 20000));
        REQUIRE(wait_until([&] { return children_ended(first); }, 20000));
        end_session(first);
    }
    CHECK_EQ(copies_in(folder), Lines{});
    Program second({.program_folder = folder});
    Sleep(500);
    CHECK(!second.dialog_open());
    CHECK_EQ(line_count(second), 0u);
    CHECK_EQ(second.close(), 0u);
    std::error_code ignored;
    if (failure_count() == 0) {
        fs::remove_all(folder, ignored);
        fs::remove_all(scratch, ignored);
    }
}

}  // namespace
}  // namespace tav::e2e::jobs
