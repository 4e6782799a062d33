// Timings of the real tavrelion.exe under Wine, driven through its window the
// way a user drives it. Each case prints its figures as lines
//   FIGURE|<name>|<value>|<unit>|<reference>|<what the reference is>|<bound on value/reference>
// which scripts/bench.sh judges; informative lines start with "  ".
// Repeated timings are given as their median, so one stall of a busy
// machine does not decide a figure; the single runs are printed too. A
// figure with a reference of its own (start-up, "Files input") times the
// program and the reference in turns in the same run.
// A case fails (non-zero exit) only when the program did not do the work:
// a missing wrapper, a short batch file, a job list of the wrong length.
#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "check.h"
#include "driver.h"
#include "in_turns.h"
#include "common/paths.h"
#include "jobscript/wrappers.h"
#include "model/control_ids.h"

namespace tav::bench {
namespace {

namespace fs = std::filesystem;
using e2e::Abort;
using e2e::Program;

constexpr int kBitrateTab = 0, kJobTab = 4;

double now_ms() {
    static const double ticks_per_ms = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / ticks_per_ms;
}

double maximum(const std::vector<double>& values) {
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

std::string joined(const std::vector<double>& values) {
    std::string text;
    char number[32];
    for (double value : values) {
        std::snprintf(number, sizeof number, "%s%.1f", text.empty() ? "" : " ", value);
        text += number;
    }
    return text;
}

// One figure for scripts/bench.sh: it passes when value / reference stays
// within ratio_bound. A fixed bound is given as its own reference with 1; a
// ratio_bound of 0 marks a figure printed only to explain another.
void report(const std::string& name, double value, const char* unit, double reference,
            const std::string& reference_label, double ratio_bound) {
    std::printf("FIGURE|%s|%.3f|%s|%.3f|%s|%.2f\n", name.c_str(), value, unit, reference,
                reference_label.c_str(), ratio_bound);
    std::fflush(stdout);
}

void note(const std::string& text) {
    std::printf("  %s\n", text.c_str());
    std::fflush(stdout);
}

// A figure timed in turns with its reference: the medians of both sides,
// and every single run for the reader.
void report_in_turns(const std::string& name, const InTurns& times, const std::string& reference_label,
                     double ratio_bound) {
    note(name + ", the program (ms): " + joined(times.program));
    note(name + ", " + reference_label + " (ms): " + joined(times.reference));
    report(name + " (median of " + std::to_string(times.program.size()) + ")", figure_of(times.program), "ms",
           figure_of(times.reference), reference_label, ratio_bound);
}

fs::path own_folder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return fs::path(path).parent_path();
}

std::uintmax_t file_size_or_zero(const fs::path& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.string().c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<std::uintmax_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string read_all(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

size_t count_lines(const std::string& text) {
    size_t lines = static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
    if (!text.empty() && text.back() != '\n') ++lines;
    return lines;
}

// ---------------------------------------------------------------- start-up

struct TopLevelSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK find_visible_top_level(HWND hwnd, LPARAM param) {
    auto& search = *reinterpret_cast<TopLevelSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != search.pid || !IsWindowVisible(hwnd) || GetWindow(hwnd, GW_OWNER)) return TRUE;
    search.found = hwnd;
    return FALSE;
}

// Milliseconds from CreateProcess until the window is shown and answers a
// message, for a fresh copy of `exe` in a folder of its own: the point where
// the process first waits for input in its event loop, after all of its
// start-up (for tavrelion: folders, lists, settings). The program is closed
// again afterwards (not timed).
double start_to_idle_ms(const fs::path& exe) {
    const fs::path folder = e2e::make_temp_folder("tav-bench-start-");
    const fs::path copy = folder / exe.filename();
    fs::copy_file(exe, copy);
    std::string command = "\"" + copy.string() + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};

    const double start = now_ms();
    if (!CreateProcessA(copy.string().c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.string().c_str(), &startup, &process)) {
        throw Abort("cannot start " + copy.string());
    }
    WaitForInputIdle(process.hProcess, 20000);
    TopLevelSearch search{process.dwProcessId, nullptr};
    const bool shown = e2e::wait_until(
        [&] {
            EnumWindows(find_visible_top_level, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        20000);
    DWORD_PTR ignored = 0;
    const bool answered =
        shown && SendMessageTimeoutA(search.found, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &ignored) != 0;
    const double elapsed = now_ms() - start;

    if (shown) PostMessageA(search.found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 15000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 99);
        WaitForSingleObject(process.hProcess, 5000);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::error_code ignored_error;
    fs::remove_all(folder, ignored_error);
    if (!answered) throw Abort(exe.filename().string() + " showed no answering window within 20 s");
    return elapsed;
}

TAV_CASE(startup) {
    // The reference is tavrelion's own window with none of the program's
    // work: what is left is the program's own start-up (working folders,
    // lists, settings, the libraries it links).
    const fs::path program = e2e::program_under_test();
    const fs::path bare = own_folder() / "bare_window.exe";
    REQUIRE(fs::exists(bare));
    // A hidden window of our own keeps Wine's desktop up between the starts,
    // so no start pays for bringing it back.
    HWND desktop_holder = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);

    // One start of each that is not counted: the first start of an
    // executable pays for the system's file caches.
    start_to_idle_ms(program);
    start_to_idle_ms(bare);
    constexpr int kRounds = 21;
    const InTurns times =
        time_in_turns(kRounds, [&] { return start_to_idle_ms(program); }, [&] { return start_to_idle_ms(bare); });
    report_in_turns("start-up to an idle window", times, "bare window, same controls", 1.10);
    if (desktop_holder) DestroyWindow(desktop_holder);
}

// ------------------------------------------------------------- Files input

// A user's folders: a season of episodes to encode and an output folder.
struct Season {
    fs::path root;
    fs::path media;
    fs::path output;
    std::vector<std::string> names;
};

Season make_season(int episodes) {
    Season season;
    season.root = e2e::make_temp_folder("tav-bench-season-");
    season.media = season.root / "media";
    season.output = season.root / "out";
    fs::create_directories(season.media);
    fs::create_directories(season.output);
    char name[64];
    for (int episode = 1; episode <= episodes; ++episode) {
        std::snprintf(name, sizeof name, "episode %04d.avi", episode);
        season.names.emplace_back(name);
        std::ofstream(season.media / name, std::ios::binary) << "RIFF";
    }
    return season;
}

HWND list_box(const Program& program) { return program.control(ctl::JobList); }

int line_count(HWND list) {
    DWORD_PTR count = 0;
    if (!SendMessageTimeoutA(list, LB_GETCOUNT, 0, 0, SMTO_NORMAL, 60000, &count))
        throw Abort("the job list does not answer");
    return static_cast<int>(static_cast<LRESULT>(count));
}

int line_count(const Program& program) { return line_count(list_box(program)); }

HWND next_dialog(const Program& program, HWND previous) {
    if (previous && !e2e::wait_until([&] { return !IsWindow(previous); }, 10000))
        throw Abort("a dialog did not close");
    return program.wait_dialog(10000);
}

// The name field of a file dialog (the edit in combo 0x47C, else edit 0x480).
HWND name_field(HWND dialog) {
    HWND field = GetDlgItem(dialog, 0x47C);
    if (field && e2e::class_name(field) == "ComboBox") field = FindWindowExA(field, nullptr, "Edit", nullptr);
    if (!field) field = GetDlgItem(dialog, 0x480);
    if (!field) throw Abort("the file dialog has no name field");
    return field;
}

// "Files input" answered like a user up to the last click: the output
// folder, then the files typed by name in the media folder. Returns the
// selection dialog, ready for its OK.
HWND select_files(Program& program, const Season& season, const std::vector<std::string>& names) {
    program.select_tab(kBitrateTab);
    program.click_async(ctl::FilesInput);
    HWND folder_dialog = program.wait_dialog(10000);
    Program::choose_file(folder_dialog, season.output.string());

    HWND files_dialog = next_dialog(program, folder_dialog);
    HWND field = name_field(files_dialog);
    Program::choose_file(files_dialog, season.media.string());
    // A folder typed in the name field opens it; the dialog gives no sign
    // when it is done, so give it a moment.
    Sleep(1000);

    std::string selection;
    for (const std::string& name : names) selection += "\"" + name + "\" ";
    SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(selection.c_str()));
    // Back in the dialog's loop: the click that follows is all that is timed.
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutA(files_dialog, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &ignored))
        throw Abort("the selection dialog does not answer");
    return files_dialog;
}

// OK in the selection dialog: the milliseconds until `expected_lines_after`
// lines are in the job list.
double confirm_selection(Program& program, HWND files_dialog, int expected_lines_after) {
    // Found before the clock starts: finding it walks every control of the
    // window, work that would compete with the program's.
    const HWND list = list_box(program);
    const double start = now_ms();
    Program::press(files_dialog, IDOK);
    if (!e2e::wait_until([&] { return !IsWindow(files_dialog); }, 60000))
        throw Abort("the selection dialog did not close");
    if (!e2e::wait_until([&] { return line_count(list) >= expected_lines_after || program.dialog_open(); },
                         60000))
        throw Abort("the jobs did not reach the list within 60 s");
    const double elapsed = now_ms() - start;
    if (program.dialog_open()) throw Abort("the program showed a message: " + Program::dialog_text(program.wait_dialog()));
    return elapsed;
}

// One job made by "Files input" for a single file: its lines, read back.
std::vector<std::string> one_real_job(Program& program, const Season& season) {
    const int before = line_count(program);
    confirm_selection(program, select_files(program, season, {season.names.front()}), before + 1);
    program.settle();
    std::vector<std::string> lines = program.items(ctl::JobList);
    lines.erase(lines.begin(), lines.begin() + before);
    return lines;
}

void clear_job_list(Program& program) {
    program.select_tab(kJobTab);
    program.click(ctl::Clear);
    if (line_count(program) != 0) throw Abort("Clear left lines in the job list");
}

// The reference of every figure that writes a wrapper per media file: a
// plain loop that writes the same wrappers (names and texts) into an "avs"
// folder of its own, one CreateFile, WriteFile and CloseHandle each, as the
// program writes them. Returns its time.
double write_wrappers_plainly(const fs::path& avs_folder, const std::vector<std::string>& inputs,
                              const std::string& template_name) {
    const std::string folder = e2e::ansi_path(avs_folder) + "\\";
    const double start = now_ms();
    for (const std::string& input : inputs) {
        const std::string name = wrapper_name(file_name(input));
        const std::string text = wrapper_text(input, template_name);
        HANDLE file = CreateFileA((folder + name).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) throw Abort("the plain loop cannot create " + folder + name);
        DWORD written = 0;
        const BOOL wrote = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        CloseHandle(file);
        if (!wrote || written != text.size()) throw Abort("the plain loop cannot write " + name);
    }
    return now_ms() - start;
}

// Sets the folder's files aside: the folder renamed, a new empty one made.
// One rename instead of thousands of deletions between the timed runs; the
// old folders go once the timings are done.
void start_afresh(const fs::path& folder, int round) {
    fs::rename(folder, folder.parent_path() / (folder.filename().string() + "-before-" + std::to_string(round)));
    fs::create_directory(folder);
}

// A user action that makes a job and a wrapper for every media file of a
// season, in two steps: everything up to its last click, untimed; then the
// last click, timed until the program has done the work.
struct SeasonAction {
    std::function<void()> prepare;
    std::function<double()> finish;  // milliseconds
};

// Times `action` in turns with the plain loop writing the same wrappers,
// each run into an empty "avs" folder, the program's on an empty job list;
// checks that every action left all its jobs and wrappers, and that both
// sides wrote the same files; reports the medians, bound 1.25.
void report_against_plain_loop(const std::string& figure, Program& program, const Season& season,
                               size_t lines_per_job, const SeasonAction& action) {
    // An even number of rounds: each side runs first as often as second.
    constexpr int kRounds = 6;
    const int expected_lines = static_cast<int>(lines_per_job * season.names.size());
    const std::string template_name = program.text(ctl::Template);
    std::vector<std::string> inputs, wrapper_names;
    for (const std::string& name : season.names) {
        inputs.push_back(e2e::ansi_path(season.media / name));
        wrapper_names.push_back(wrapper_name(file_name(inputs.back())));
    }
    const fs::path program_avs = program.folder() / "avs";
    const fs::path plain_root = e2e::make_temp_folder("tav-bench-plain-");
    const fs::path plain_avs = plain_root / "avs";
    fs::create_directories(plain_avs);
    int program_runs = 0, plain_runs = 0;

    // The program's dialogs are answered right before its timed click, so
    // the plain loop never runs while one of them is open: under Wine an
    // open file dialog slows the files written meanwhile.
    const auto program_run = [&] {
        clear_job_list(program);
        start_afresh(program_avs, program_runs++);
        action.prepare();
        const double ms = action.finish();
        program.settle(60000);
        CHECK_EQ(line_count(program), expected_lines);
        int missing = 0;
        for (const std::string& name : wrapper_names)
            if (file_size_or_zero(program_avs / name) == 0) ++missing;
        CHECK_EQ(missing, 0);
        return ms;
    };
    const auto plain_run = [&] {
        start_afresh(plain_avs, plain_runs++);
        return write_wrappers_plainly(plain_avs, inputs, template_name);
    };
    // One run of each that is not counted: a program's first action of this
    // size runs markedly slower than the ones after it.
    program_run();
    plain_run();
    const InTurns times = time_in_turns(kRounds, program_run, plain_run);

    // The last runs of both sides are on disk: the same names, the same texts.
    int differing = 0;
    for (const std::string& name : wrapper_names)
        if (read_all(program_avs / name) != read_all(plain_avs / name)) ++differing;
    CHECK_EQ(differing, 0);
    report_in_turns(figure, times, "plain loop writing the same wrappers", 1.25);
    std::error_code ignored;
    fs::remove_all(plain_root, ignored);
    for (int run = 0; run < program_runs; ++run)
        fs::remove_all(program.folder() / ("avs-before-" + std::to_string(run)), ignored);
}

// A season of 2,000 files (TAV_BENCH_FILES sets a smaller one, for looking
// into a figure) turned into jobs by the action `make_action` gives, timed
// in turns with the plain loop. One file goes in first through "Files
// input": the lines of one job, and Wine's dialogs warmed up.
void time_season(const std::string& figure,
                 const std::function<SeasonAction(Program&, const Season&, int expected_lines)>& make_action) {
    const char* count_override = std::getenv("TAV_BENCH_FILES");
    const int files = count_override ? std::max(1, std::atoi(count_override)) : 2000;
    const Season season = make_season(files);
    Program program;
    const size_t lines_per_job = one_real_job(program, season).size();
    REQUIRE(lines_per_job > 2);
    const int expected_lines = static_cast<int>(lines_per_job) * files;
    report_against_plain_loop(figure + " of " + std::to_string(files) + " files, every wrapper written", program,
                              season, lines_per_job, make_action(program, season, expected_lines));
    CHECK_EQ(program.close(60000), 0u);
    std::error_code ignored;
    fs::remove_all(season.root, ignored);
}

TAV_CASE(files_input) {
    auto selection = std::make_shared<HWND>(nullptr);
    time_season("Files input", [&](Program& program, const Season& season, int expected_lines) {
        return SeasonAction{[&program, &season, selection] { *selection = select_files(program, season, season.names); },
                            [&program, selection, expected_lines] {
                                return confirm_selection(program, *selection, expected_lines);
                            }};
    });
}

// A season's folder dropped on the window, as from Explorer, timed from the
// drop until every job is in the list, less the moment the output folder is
// typed into its chooser (what "Files input" leaves out of its figure too).
double drop_season(Program& program, const Season& season, int expected_lines) {
    const HWND list = list_box(program);
    const double dropped = now_ms();
    program.drop({season.media});
    const HWND chooser = program.wait_dialog(60000);
    const double asked = now_ms();
    SendMessageA(name_field(chooser), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(season.output.string().c_str()));
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutA(chooser, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &ignored))
        throw Abort("the folder chooser does not answer");
    const double chosen = now_ms();
    Program::press(chooser, IDOK);
    if (!e2e::wait_until([&] { return !IsWindow(chooser); }, 60000)) throw Abort("the folder chooser did not close");
    if (!e2e::wait_until([&] { return line_count(list) >= expected_lines || program.dialog_open(); }, 60000))
        throw Abort("the dropped folder's jobs did not reach the list within 60 s");
    const double done = now_ms();
    if (program.dialog_open()) throw Abort("the program showed a message: " + Program::dialog_text(program.wait_dialog()));
    return (asked - dropped) + (done - chosen);
}

TAV_CASE(folder_drop) {
    time_season("drop of a folder", [](Program& program, const Season& season, int expected_lines) {
        return SeasonAction{[] {}, [&program, &season, expected_lines] {
                                return drop_season(program, season, expected_lines);
                            }};
    });
}

// --------------------------------------------------------------- job list

// Fills the job list with whole copies of `job` until it holds at least
// `lines` lines, straight into the list box: the filling is not timed and
// is no user action.
void fill_job_list(Program& program, const std::vector<std::string>& job, int lines) {
    HWND list = list_box(program);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    int count = line_count(program);
    while (count < lines) {
        for (const std::string& line : job)
            SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
        count += static_cast<int>(job.size());
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    if (line_count(program) != count) throw Abort("the job list did not take every line");
}

int line_length(const Program& program, int index) {
    return static_cast<int>(SendMessageA(list_box(program), LB_GETTEXTLEN, index, 0));
}

// Times one click of a job-list button on the line at `index`: the
// button is found before, so only the program's answer is timed.
double timed_click(Program& program, int button, int index) {
    HWND hwnd = program.control(button);
    if (!IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd)) throw Abort("the button is out of reach");
    program.select(ctl::JobList, index);
    const double start = now_ms();
    SendMessageA(hwnd, BM_CLICK, 0, 0);
    return now_ms() - start;
}

std::vector<DWORD> descendants_of(DWORD root) {
    std::vector<DWORD> found{root};
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return {};
    std::vector<PROCESSENTRY32> all;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        all.push_back(entry);
    CloseHandle(snapshot);
    for (size_t i = 0; i < found.size(); ++i)
        for (const auto& process : all)
            if (process.th32ParentProcessID == found[i] && process.th32ProcessID != root &&
                std::find(found.begin(), found.end(), process.th32ProcessID) == found.end())
                found.push_back(process.th32ProcessID);
    found.erase(found.begin());
    return found;
}

// Ends the batch that "Start" launched (and whatever it runs): only its
// writing is timed, not its run.
void end_started_batch(const Program& program) {
    for (DWORD pid : descendants_of(program.process_id())) {
        if (HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, pid)) {
            TerminateProcess(process, 1);
            CloseHandle(process);
        }
    }
}

// "Start" runs its batch at once: the stand-in tools answer to the tools'
// names (TAV_TOOLS_WIN\standins first on the PATH the program inherits).
void put_standins_on_path() {
    const char* tools = std::getenv("TAV_TOOLS_WIN");
    if (!tools || !*tools) throw Abort("TAV_TOOLS_WIN does not name the stand-in tools");
    const char* path = std::getenv("PATH");
    const std::string value = (fs::path(tools) / "standins").string() + ";" + (path ? path : "");
    SetEnvironmentVariableA("PATH", value.c_str());
}

TAV_CASE(job_list) {
    constexpr int kLines = 100000;
    put_standins_on_path();
    const Season season = make_season(1);
    Program program;
    const std::vector<std::string> job = one_real_job(program, season);
    REQUIRE(job.size() > 2);
    fill_job_list(program, job, kLines);
    const int lines = line_count(program);
    const int jobs = lines / static_cast<int>(job.size());
    note(std::to_string(lines) + " lines: " + std::to_string(jobs) + " jobs of " + std::to_string(job.size()) +
         " lines each");
    program.select_tab(kJobTab);

    // "Make BAT": from OK in the save dialog until the program is back in
    // its loop with the whole file written.
    {
        const fs::path bat = season.output / "season.bat";
        program.click_async(ctl::MakeBat);
        HWND dialog = program.wait_dialog(10000);
        SendMessageA(name_field(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(bat.string().c_str()));
        const double start = now_ms();
        Program::press(dialog, IDOK);
        if (!e2e::wait_until([&] { return !IsWindow(dialog); }, 30000)) throw Abort("the save dialog stayed");
        program.settle(60000);
        const double elapsed = now_ms() - start;
        const std::uintmax_t size_then = file_size_or_zero(bat);
        const std::string text = read_all(bat);
        CHECK_EQ(size_then, text.size());
        CHECK_EQ(count_lines(text), static_cast<size_t>(lines) + 4);
        report("Make BAT, 100,000 lines", elapsed, "ms", 1000, "bound 1 s", 1.0);
    }

    // "Start": from the click until temp.bat is whole; the program then
    // waits on purpose before lowering the batch's priority, reported apart.
    {
        const fs::path batch = program.folder() / "temp.bat";
        std::atomic<bool> stop{false};
        std::atomic<std::uintmax_t> last_size{0};
        std::vector<std::pair<double, std::uintmax_t>> sizes;  // when each new size was first seen
        const double start = now_ms();
        std::thread watcher([&] {
            while (!stop) {
                const std::uintmax_t size = file_size_or_zero(batch);
                if (size != last_size) {
                    sizes.emplace_back(now_ms(), size);
                    last_size = size;
                }
                Sleep(1);
            }
        });
        program.click_async(ctl::Start);
        const bool written = e2e::wait_until([&] { return last_size != 0; }, 30000);
        if (written) program.settle(60000);
        const double back_in_loop = now_ms() - start;
        Sleep(50);
        stop = true;
        watcher.join();
        end_started_batch(program);
        REQUIRE(written);

        const std::string text = read_all(batch);
        CHECK_EQ(count_lines(text), static_cast<size_t>(lines) + 7);
        double whole_at = back_in_loop;
        for (const auto& [when, size] : sizes)
            if (size == text.size()) {
                whole_at = when - start;
                break;
            }
        note("Start: back in its loop after " + std::to_string(static_cast<int>(back_in_loop)) +
             " ms (it waits 600 ms on purpose before lowering the batch's priority)");
        report("Start writes temp.bat, 100,000 lines", whole_at, "ms", 1000, "bound 1 s", 1.0);
    }

    // The line buttons, each on lines spread over the list.
    const std::vector<int> spots = {lines / 5, lines / 3, lines / 2, 2 * lines / 3, 4 * lines / 5};
    {
        std::vector<double> ms;
        for (int spot : spots) {
            const int before = line_length(program, spot);
            ms.push_back(timed_click(program, ctl::Disable, spot));
            CHECK_EQ(line_length(program, spot), before + 5);  // "@rem " in front
            ms.push_back(timed_click(program, ctl::Disable, spot));
            CHECK_EQ(line_length(program, spot), before);
        }
        note("Disable (ms): " + joined(ms) + "; worst " + std::to_string(static_cast<int>(maximum(ms))));
        report("Disable on 100,000 lines (median of 10)", median(ms), "ms", 50, "bound 50 ms", 1.0);
    }
    // "up" on a line, then "down" on the same line where it went: the jobs
    // are whole again for "del" below.
    {
        std::vector<double> up_ms, down_ms;
        for (int spot : spots) {
            const int moving = line_length(program, spot);
            const int above = line_length(program, spot - 1);
            up_ms.push_back(timed_click(program, ctl::Up, spot));
            CHECK_EQ(line_length(program, spot - 1), moving);
            CHECK_EQ(line_length(program, spot), above);
            down_ms.push_back(timed_click(program, ctl::Down, spot - 1));
            CHECK_EQ(line_length(program, spot), moving);
            CHECK_EQ(line_length(program, spot - 1), above);
        }
        CHECK_EQ(line_count(program), lines);
        note("up (ms): " + joined(up_ms) + "; worst " + std::to_string(static_cast<int>(maximum(up_ms))));
        note("down (ms): " + joined(down_ms) + "; worst " + std::to_string(static_cast<int>(maximum(down_ms))));
        report("up on 100,000 lines (median of 5)", median(up_ms), "ms", 50, "bound 50 ms", 1.0);
        report("down on 100,000 lines (median of 5)", median(down_ms), "ms", 50, "bound 50 ms", 1.0);
    }
    {
        std::vector<double> ms;
        int expected = lines;
        for (int spot : spots) {
            ms.push_back(timed_click(program, ctl::Del, spot));
            expected -= static_cast<int>(job.size());
            CHECK_EQ(line_count(program), expected);
        }
        note("del (ms): " + joined(ms) + "; worst " + std::to_string(static_cast<int>(maximum(ms))));
        report("del on 100,000 lines (median of 5)", median(ms), "ms", 50, "bound 50 ms", 1.0);
    }
    CHECK_EQ(program.close(60000), 0u);
    std::error_code ignored;
    fs::remove_all(season.root, ignored);
}

}  // namespace
}  // namespace tav::bench
