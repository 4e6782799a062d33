// Core timings: the lines of one job in the heaviest mode, one settings load
// of a full file, and the job-list operations on a long list.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "jobs/job_list.h"
#include "jobscript/job_step.h"
#include "model/control_ids.h"
#include "settings/settings_model.h"
#include "support/test_app.h"

namespace tav {
namespace {

void set_up_conditional_job(test::TestApp& t) {
    t.select(ctl::Mode, 13);
    t.ui.set_state(ctl::Audio, 1);
    t.ui.set_state(ctl::Muxer, 2);  // MKVMerge
    t.ui.set_state(ctl::LogEnabled, 1);
}

void fill_files(test::TestApp& t) {
    t.ui.set_text(ctl::InputFile, "D:\\enc\\avs\\movie.avs");
    t.ui.set_text(ctl::OutputFile, "D:\\enc\\out\\movie.mp4");
    t.ui.set_text(ctl::StatsFile, "D:\\enc\\stats\\movie.stat");
    t.ui.set_text(ctl::LogFile, "D:\\enc\\log\\movie.txt");
}

void BM_JobLinesMode13AudioMkv(benchmark::State& state) {
    test::TestApp t;
    set_up_conditional_job(t);
    fill_files(t);
    for (auto _ : state) {
        BuiltJob job = build_job(t.ctx, documented_dialect());
        benchmark::DoNotOptimize(job);
    }
}
BENCHMARK(BM_JobLinesMode13AudioMkv)->Unit(benchmark::kMicrosecond);

void BM_LoadFullSettingsFile(benchmark::State& state) {
    test::TestApp t;
    save_settings(t.ctx, "full.ini");
    for (auto _ : state) load_settings(t.ctx, "full.ini");
}
BENCHMARK(BM_LoadFullSettingsFile)->Unit(benchmark::kMicrosecond);

// "Files input" for a season of 2,000 episodes: a wrapper and a job each.
void BM_FilesInput2000(benchmark::State& state) {
    std::vector<std::string> files;
    for (int episode = 1; episode <= 2000; ++episode)
        files.push_back("D:\\season\\episode " + std::to_string(episode) + ".avi");
    for (auto _ : state) {
        state.PauseTiming();
        test::TestApp t;
        t.platform.folder_answers.push_back("D:\\out\\");
        t.platform.open_many_answers.push_back(files);
        state.ResumeTiming();
        t.click(ctl::FilesInput);
        benchmark::DoNotOptimize(t.ui.item_count(ctl::JobList));
    }
}
BENCHMARK(BM_FilesInput2000)->Unit(benchmark::kMillisecond);

std::vector<std::string> long_list(int jobs) {
    std::vector<std::string> lines;
    for (int j = 0; j < jobs; ++j) {
        lines.push_back("@echo.");
        for (int k = 0; k < 8; ++k) lines.push_back("@x264.exe --progress line " + std::to_string(j * 8 + k));
        lines.push_back("@echo+");
    }
    return lines;
}

void BM_JobListEditsOn100kLines(benchmark::State& state) {
    test::TestApp t;
    t.set_job_lines(long_list(10000));
    for (auto _ : state) {
        t.select_line(50000);
        toggle_disable(t.ctx);
        toggle_disable(t.ctx);
        t.select_line(50000);
        move_line_down(t.ctx);
        t.select_line(50001);
        move_line_up(t.ctx);
    }
}
BENCHMARK(BM_JobListEditsOn100kLines)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tav

BENCHMARK_MAIN();
