// Shared steps of the job cases: setting controls as a user would (switching
// to their tab first), the job lines the encoder settings of the worked
// example give, and the stand-in tools' records.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "check.h"
#include "driver.h"
#include "expected_window.h"
#include "model/control_ids.h"
#include "standin_log.h"

namespace tav::e2e::jobs {

namespace ctl = ::tav::ctl;

enum Tab : int { kBitrateTab = 0, kRateTab = 1, kFramesTab = 2, kMoreTab = 3, kJobTab = 4 };

using ::tav::e2e::kModeNames;
enum Muxer : int { kMp4Box = 0, kMp4Creator = 1, kMkvMerge = 2, kNoMux = 3, kAudioOnly = 4 };

inline std::string in_quotes(std::string_view text) { return "\"" + std::string(text) + "\""; }

// A check box set the way a click would set it; nothing happens when it
// already is.
inline void set_check(Program& program, int id, bool on) {
    if ((program.checked(id) == BST_CHECKED) != on) program.click(id);
}
inline void set_field(Program& program, int id, std::string_view text) {
    if (program.text(id) != text) program.paste(id, text);
}
inline void select_if_needed(Program& program, int id, int index) {
    if (program.selection(id) != index) program.select(id, index);
}

// The encoder settings behind the reference lines below, set on every tab.
inline void use_example_encoder_settings(Program& program) {
    program.select_tab(kRateTab);
    for (auto [id, text] : {std::pair{ctl::SceneCut, "40"}, {ctl::MaxIdr, "250"}, {ctl::MinIdr, "25"},
                            {ctl::KeyframeBoost, "40"}, {ctl::BFrameReduction, "30"}, {ctl::VbvBufferSize, "0"},
                            {ctl::VbvMaxRate, "0"}, {ctl::VbvInitBuffer, "0.9"}, {ctl::BitrateVariance, "100"}}) {
        set_field(program, id, text);
    }
    for (auto [id, text] : {std::pair{ctl::MinQp, "10"}, {ctl::MaxQp, "51"}, {ctl::MaxQpStep, "4"},
                            {ctl::QuantCompression, "60"}}) {
        if (program.enabled(id)) set_field(program, id, text);
    }
    program.select_tab(kFramesTab);
    set_field(program, ctl::MaxBFrames, "2");
    set_field(program, ctl::Bias, "0");
    for (auto [id, on] : {std::pair{ctl::Transform8x8, true}, {ctl::PSearch8x8, true}, {ctl::BSearch8x8, true},
                          {ctl::PSearch4x4, false}, {ctl::Intra8x8, true}, {ctl::Intra4x4, true},
                          {ctl::BidirectionalMe, false}, {ctl::AdaptiveB, true}, {ctl::BReferences, false},
                          {ctl::WeightedB, true}}) {
        set_check(program, id, on);
    }
    select_if_needed(program, ctl::DirectMode, 2);
    program.select_tab(kMoreTab);
    select_if_needed(program, ctl::QuantMatrix, 0);
    select_if_needed(program, ctl::MeMethod, 1);
    select_if_needed(program, ctl::PartitionDecision, 4);
    for (auto [id, on] : {std::pair{ctl::FastPSkip, true}, {ctl::DctDecimate, true}, {ctl::ThreadInput, false},
                          {ctl::MixedRefs, false}, {ctl::Cabac, true}, {ctl::Deblock, true},
                          {ctl::ChromaMe, true}, {ctl::Audio, false}}) {
        set_check(program, id, on);
    }
    select_if_needed(program, ctl::Trellis, 1);
    for (auto [id, text] : {std::pair{ctl::SarWidth, "1"}, {ctl::SarHeight, "1"}, {ctl::Threads, "1"},
                            {ctl::MaxRefs, "1"}, {ctl::NoiseReduction, "0"}}) {
        set_field(program, id, text);
    }
    program.slide(ctl::DeblockStrength, 6);
    program.slide(ctl::DeblockThreshold, 6);
    program.select_tab(kBitrateTab);
}

// The files a pass line names.
struct JobNames {
    std::string input, output, stats, log;  // log empty: no log pipe
};

// What the line of one single pass in `mode` reads with the
// example encoder settings; `value` is the value field's text.
inline std::string expected_pass_line(int mode, std::string_view value, const JobNames& names,
                                      bool update_stats) {
    const std::string v(value);
    const std::string ratio = " --ipratio 1.400000 --pbratio 1.300000";
    const std::string part = " --8x8dct -A p8x8,b8x8,i8x8,i4x4", fast_part = " -A p8x8,i4x4";
    const std::string qp_full = " --qpmin 10 --qpmax 51 --qpstep 4 --qcomp 0.600000", qp = " --qpmin 10 --qpmax 51";
    const std::string chroma;
    const std::string subpel = " -m 5", fast_subpel = " -m 3";
    const std::string vbv_tol = " --ratetol 1.000000 --vbv-init 0.9 --vbv-bufsize 0 --vbv-maxrate 0";
    const std::string vbv = " --vbv-init 0.9 --vbv-bufsize 0 --vbv-maxrate 0";
    const std::string rate = " -B " + v;
    const std::string stats = " --stats " + in_quotes(names.stats);

    std::string line =
        "@x264.exe --progress --no-psnr --no-ssim --cqm flat --scenecut 40 -I 250 -i 25 -t 1 --me hex --sar 1:1 "
        "--threads 1 -r 1 --nr 0 -f 0:0 -b 2 --direct \"auto\" --b-bias 0 -w";
    switch (mode) {
        case 0: line += ratio + part + rate + qp_full + subpel + vbv_tol; break;
        case 1: line += " -q " + v + qp + part + chroma + subpel; break;
        case 2: line += " --crf " + v + part + subpel + chroma + qp_full + ratio + vbv; break;
        case 3: line += " -p 1" + stats + rate + qp + part + chroma + ratio + subpel + vbv_tol; break;
        case 4: line += " -p 1" + stats + rate + qp + ratio + fast_part + fast_subpel + vbv_tol; break;
        case 5:
        case 13:
            line += (update_stats ? " -p 3" : " -p 2") + stats + rate + qp_full + ratio + chroma + part + subpel +
                    vbv_tol;
            break;
        case 8:
        case 12: line += stats + " -p 1 --crf " + v + part + chroma + ratio + subpel + qp_full + vbv_tol; break;
        case 9: line += stats + " -p 1 --crf " + v + fast_part + fast_subpel + qp_full + ratio + vbv_tol; break;
        default: throw Abort("no single pass line in mode " + std::to_string(mode));
    }
    const bool writes_video = mode != 3 && mode != 4 && mode != 8 && mode != 9;
    line += writes_video ? " -o " + in_quotes(names.output) + " " : " -o nul ";
    line += in_quotes(names.input);
    if (!names.log.empty()) line += " 2>&1|lputs.exe " + in_quotes(names.log);
    // The conditional pass: the interpreter's "if" takes the whole rest of
    // the line, log pipe included, as the command it guards.
    return mode == 13 ? "@if errorlevel 1 " + line : line;
}

// The header lines of a complete job.
inline std::vector<std::string> job_header(const JobNames& names, int mode) {
    return {"@echo.", "@echo Input:" + in_quotes(names.input), "@echo Output:" + in_quotes(names.output),
            "@echo Encode Mode:" + std::string(kModeNames[mode])};
}

// One line of a list box of the program. Lines that fit Wine's
// cross-process buffers are read straight across in wide characters; a
// longer one is read inside the program, as the driver does.
inline std::string list_line(const Program& program, HWND list, LRESULT index) {
    constexpr LRESULT kCrossProcessLimit = 500;
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, index, 0);
    if (length < 0) throw Abort("cannot read line " + std::to_string(index) + " of the list");
    std::wstring wide(std::max<size_t>(4096, static_cast<size_t>(length) + 1), L'\0');
    if (length <= kCrossProcessLimit) {
        // The buffer has room beyond any fixed size Wine may copy back.
        SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(wide.data()));
    } else {
        HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                                     program.process_id());
        if (!process) throw Abort("cannot open the program's memory");
        const size_t bytes = (static_cast<size_t>(length) + 1) * sizeof(wchar_t);
        void* remote = VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT, PAGE_READWRITE);
        if (remote) {
            program.send_inside(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(remote));
            ReadProcessMemory(process, remote, wide.data(), bytes, nullptr);
            VirtualFreeEx(process, remote, 0, MEM_RELEASE);
        }
        CloseHandle(process);
        if (!remote) throw Abort("cannot reserve memory in the program");
    }
    const int n = static_cast<int>(wcsnlen(wide.c_str(), static_cast<size_t>(length)));
    std::string text(static_cast<size_t>(n) * 2 + 1, '\0');
    text.resize(static_cast<size_t>(std::max(
        0, WideCharToMultiByte(CP_ACP, 0, wide.data(), n, text.data(), static_cast<int>(text.size()), nullptr, nullptr))));
    return text;
}

// The job list's lines from index `from` on.
inline std::vector<std::string> list_lines_from(const Program& program, size_t from) {
    HWND list = program.control(ctl::JobList);
    const auto count = static_cast<size_t>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    std::vector<std::string> lines;
    for (size_t i = from; i < count; ++i) lines.push_back(list_line(program, list, static_cast<LRESULT>(i)));
    return lines;
}

inline std::vector<std::string> list_lines(const Program& program) { return list_lines_from(program, 0); }

inline size_t line_count(const Program& program) {
    return static_cast<size_t>(SendMessageA(program.control(ctl::JobList), LB_GETCOUNT, 0, 0));
}

// The lines of the list from index `from` on.
inline std::vector<std::string> lines_from(const std::vector<std::string>& lines, size_t from) {
    return {lines.begin() + static_cast<std::ptrdiff_t>(std::min(from, lines.size())), lines.end()};
}

inline std::string folder_of(const Program& program) { return ansi_path(program.folder()) + "\\"; }

// The whole file, read without holding it against the program: a file the
// program replaces while the test reads it (the job list's copy) stays
// replaceable.
inline std::string read_file(const std::filesystem::path& path) {
    HANDLE file = CreateFileW(path.wstring().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string text;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    CloseHandle(file);
    return text;
}

inline std::vector<ToolRun> runs_of(const std::vector<ToolRun>& runs, std::string_view tool) {
    std::vector<ToolRun> found;
    std::copy_if(runs.begin(), runs.end(), std::back_inserter(found),
                 [&](const ToolRun& run) { return run.tool == tool; });
    return found;
}

// The arguments after the program's own name.
inline std::vector<std::string> arguments(const ToolRun& run) {
    return {run.argv.begin() + (run.argv.empty() ? 0 : 1), run.argv.end()};
}

// The visible dialog of the program with this title, waited for.
inline HWND wait_dialog_titled(const Program& program, std::string_view title, DWORD timeout_ms = 20000) {
    struct Search {
        DWORD pid;
        std::string_view title;
        HWND found = nullptr;
    } search{program.process_id(), title};
    const auto find = [](HWND hwnd, LPARAM param) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(param);
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        if (pid == s.pid && IsWindowVisible(hwnd) && class_name(hwnd) == "#32770" && window_text(hwnd) == s.title) {
            s.found = hwnd;
            return FALSE;
        }
        return TRUE;
    };
    wait_until([&] { return EnumWindows(find, reinterpret_cast<LPARAM>(&search)), search.found != nullptr; },
               timeout_ms);
    if (!search.found) throw Abort("no dialog titled \"" + std::string(title) + "\" appeared");
    return search.found;
}

// The tools the batch starts: the stand-ins first on the PATH, recording into
// a log of this case. The program, and so its batch, inherits this.
class ToolEnvironment {
public:
    explicit ToolEnvironment(const std::filesystem::path& log, int delay_ms) : log_(log) {
        const char* tools = std::getenv("TAV_TOOLS_WIN");
        if (!tools || !*tools) throw Abort("TAV_TOOLS_WIN does not name the test tools");
        saved_path_ = std::getenv("PATH") ? std::getenv("PATH") : "";
        SetEnvironmentVariableA("PATH", ((std::filesystem::path(tools) / "standins").string() + ";" + saved_path_).c_str());
        SetEnvironmentVariableA("TAV_STANDIN_LOG", log.string().c_str());
        SetEnvironmentVariableA("TAV_DELAY_MS", std::to_string(delay_ms).c_str());
    }
    ~ToolEnvironment() {
        SetEnvironmentVariableA("PATH", saved_path_.c_str());
        SetEnvironmentVariableA("TAV_STANDIN_LOG", nullptr);
        SetEnvironmentVariableA("TAV_DELAY_MS", nullptr);
    }
    std::vector<ToolRun> runs() const { return read_tool_runs(log_); }

private:
    std::filesystem::path log_;
    std::string saved_path_;
};

// Adds one job in mode 1 at quantizer 26 without a log, the shortest job
// the window writes, for `input`, writing `output`.
inline void add_quick_job(Program& program, const std::string& input, const std::string& output) {
    program.select_tab(kBitrateTab);
    program.select(ctl::Mode, 1);
    program.paste(ctl::Value, "26");
    set_check(program, ctl::LogEnabled, false);
    program.paste(ctl::InputFile, input);
    program.paste(ctl::OutputFile, output);
    program.click(ctl::Add);
}

// Picks one input with the input "..." button.
inline void choose_input(Program& program, const std::string& path) {
    program.select_tab(kBitrateTab);
    program.click_async(ctl::InputBrowse);
    Program::choose_file(program.wait_dialog(), path);
}

// Makes "Make BAT" write the job list into `path` (typed into the save dialog).
inline void make_bat(Program& program, const std::string& path) {
    program.select_tab(kJobTab);
    program.click_async(ctl::MakeBat);
    Program::choose_file(program.wait_dialog(), path);
    program.settle();
}

}  // namespace tav::e2e::jobs
