// Jobs written for the encoder the batch would run, found and asked beside
// the window: the documented lines until a usable answer is there, never a
// long wait, a new or replaced encoder asked before the next job, and the
// user told once per encoder file about options it knows in no form.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "jobscript/job_step.h"
#include "model/control_ids.h"
#include "model/muxers.h"
#include "support/test_app.h"
#include "support/test_data.h"

namespace tav {
namespace {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;
using FakeProgram = test::FakePlatform::FakeProgram;

const std::string kBeside = "C:\\prog\\x264.exe";

FakeProgram answering(const std::string& full_help, FileStamp stamp = {1, 1}) { return {stamp, {{"--fullhelp", full_help}}}; }

// A window with the options today's x264 refuses switched on.
struct JobWindow {
    std::unique_ptr<test::TestApp> app = std::make_unique<test::TestApp>();
    test::TestApp& t = *app;
    JobWindow() {
        t.paste(ctl::MaxBFrames, "3");
        t.click(ctl::BidirectionalMe);
        t.select(ctl::PartitionDecision, 6);  // "6b(RDO on B-frames)"
        t.ui.set_state(ctl::Muxer, muxer::NoMux);
    }
    // "Add" in `mode`: the x264 lines it wrote and the documented ones.
    std::pair<Lines, Lines> add(int mode = 0) {
        t.select(ctl::Mode, mode);
        t.paste(ctl::InputFile, "D:\\clips\\a.avs");
        t.paste(ctl::OutputFile, "D:\\clips\\a.mkv");
        const Lines documented = x264_lines(build_job(t.ctx, documented_dialect()).lines);
        const size_t before = t.job_lines().size();
        t.click(ctl::Add);
        const Lines all = t.job_lines();
        return {x264_lines(Lines(all.begin() + static_cast<std::ptrdiff_t>(before), all.end())), documented};
    }
    static Lines x264_lines(const Lines& lines) {
        Lines found;
        for (const std::string& line : lines)
            if (line.find("x264.exe") != std::string::npos) found.push_back(line);
        return found;
    }
    // Until the encoder has been run `runs` times and nothing runs any more.
    void settle(size_t runs) {
        for (int i = 0; i < 500 && (t.platform.program_runs().size() < runs || t.platform.programs_running()); ++i)
            std::this_thread::sleep_for(10ms);
    }
};

TEST(DialectJobs, EncodersWithoutAUsableAnswerGetTheDocumentedLinesWithoutAWait) {
    const FakeProgram era{{1, 1},
                          {{"--fullhelp", "x264 [error]: unknown option\n"}, {"--longhelp", test::era_option_list()}}};
    const struct {
        const char* what;
        FakeProgram program;
        // No answer counts for nothing: it is asked again at the next job,
        // and the user is told it did not answer.
        bool unanswered;
    } cases[] = {
        {"an era build", era, false},
        {"prints nothing", {{1, 1}, {}}, false},
        {"prints something else", {{1, 1}, {{"--fullhelp", "bad option\n"}, {"--longhelp", "usage: x264\n"}}}, false},
        {"cannot be started", {{1, 1}, {}, 0ms, false, true}, true},
        {"hangs", {{1, 1}, {}, 0ms, true}, true},
    };
    for (const auto& c : cases) {
        JobWindow w;
        w.t.platform.put_program(kBeside, c.program);
        w.t.start();
        const auto start = std::chrono::steady_clock::now();
        const auto [lines, documented] = w.add(6);
        EXPECT_LT(std::chrono::steady_clock::now() - start, 2s) << c.what;
        EXPECT_EQ(lines, documented) << c.what;
        const auto messages = w.t.platform.messages();
        ASSERT_EQ(messages.size(), c.unanswered ? 1u : 0u) << c.what;
        if (c.unanswered) {
            EXPECT_NE(messages[0].find("\"" + std::string(kBeside) + "\" has not answered"), std::string::npos)
                << messages[0];
            EXPECT_NE(messages[0].find("documented"), std::string::npos) << messages[0];
        }
        if (c.program.hangs) {
            // Closing the window ends a hung encoder at once.
            const auto closing = std::chrono::steady_clock::now();
            w.app.reset();
            EXPECT_LT(std::chrono::steady_clock::now() - closing, 1s);
            continue;
        }
        const size_t runs = w.t.platform.program_runs().size();
        w.add();
        EXPECT_EQ(w.t.platform.program_runs().size() > runs, c.unanswered) << c.what << ": asked again";
        EXPECT_EQ(w.t.platform.messages().size(), messages.size()) << c.what << ": told once per file";
    }
}

// A question that got no answer in time is asked again, and its answer
// reaches the jobs added once it is there.
TEST(DialectJobs, AnEncoderThatAnswersLateIsAskedAgainAndItsAnswerUsed) {
    JobWindow w;
    FakeProgram late = answering(test::todays_option_list());
    late.cannot_start = true;  // held by a virus scanner at first
    w.t.platform.put_program(kBeside, late);
    w.t.start();
    w.settle(1);
    auto [lines, documented] = w.add();
    EXPECT_EQ(lines, documented);
    ASSERT_EQ(w.t.platform.messages().size(), 1u);

    late.cannot_start = false;
    w.t.platform.put_program(kBeside, late);
    std::tie(lines, documented) = w.add();
    EXPECT_EQ(lines[0], test::in_todays_form(documented[0]));
    EXPECT_EQ(w.t.platform.messages().size(), 1u);
}

TEST(DialectJobs, AnEncoderThatAppearsOrIsReplacedIsAskedBeforeTheNextJob) {
    JobWindow w;
    w.t.platform.set_search_path("E:\\tools");
    w.t.start();
    auto [lines, documented] = w.add();
    EXPECT_EQ(lines, documented);

    w.t.platform.put_program("E:\\tools\\x264.exe", answering(test::todays_option_list()));
    std::tie(lines, documented) = w.add();
    EXPECT_EQ(lines[0], test::in_todays_form(documented[0]));

    // One beside the program comes first; a replaced one is asked anew.
    w.t.platform.put_program(kBeside, answering("x264 [error]: unknown option\n"));
    std::tie(lines, documented) = w.add();
    EXPECT_EQ(lines, documented);
    w.t.platform.put_program(kBeside, answering(test::todays_option_list(), {2, 2}));
    std::tie(lines, documented) = w.add();
    EXPECT_EQ(lines[0], test::in_todays_form(documented[0]));
    w.add();
    EXPECT_EQ(w.t.platform.program_runs().size(), 4u);  // once per file as it is

    // An answer slower than the moment "Add" waits reaches the later jobs.
    FakeProgram slow = answering(test::todays_option_list(), {3, 3});
    slow.delay = 900ms;
    w.t.platform.put_program(kBeside, slow);
    std::tie(lines, documented) = w.add();
    EXPECT_EQ(lines, documented);
    w.settle(5);
    std::tie(lines, documented) = w.add();
    EXPECT_EQ(lines[0], test::in_todays_form(documented[0]));
}

TEST(DialectJobs, OptionsTheEncoderKnowsInNoFormAreToldOncePerEncoderFile) {
    // A cut-down build without noise reduction and custom matrices.
    const std::string cut = test::without_definitions(test::todays_option_list(), {"--nr", "--cqmfile"});
    JobWindow w;
    test::TestApp& t = w.t;
    t.platform.put_program(kBeside, answering(cut));
    t.start();
    const auto [lines, documented] = w.add();
    // Written as documented, so the batch stops there as the user is told.
    EXPECT_NE(lines[0].find(" --nr 0 "), std::string::npos);
    ASSERT_EQ(t.platform.messages().size(), 1u);
    const std::string message = t.platform.messages()[0];
    EXPECT_NE(message.find("--nr"), std::string::npos) << message;
    EXPECT_NE(message.find(kBeside), std::string::npos) << message;
    EXPECT_EQ(message.find("--cqmfile"), std::string::npos) << message;  // the flat matrix needs none
    w.add(6);
    EXPECT_EQ(t.platform.messages().size(), 1u);

    // Replaced by another such build: told again, once for a whole "Files input".
    t.platform.put_program(kBeside, answering(cut, {2, 2}));
    t.platform.folder_answers.push_back("D:\\out\\");
    t.platform.open_many_answers.push_back(Lines{"D:\\clips\\b.avs", "D:\\clips\\c.avs", "D:\\clips\\d.avs"});
    t.click(ctl::FilesInput);
    EXPECT_EQ(JobWindow::x264_lines(t.job_lines()).size(), 1u + 2u + 3u * 2u);  // modes 0, 6 and three times 6
    ASSERT_EQ(t.platform.messages().size(), 2u);
    EXPECT_NE(t.platform.messages()[1].find("--nr"), std::string::npos);
}

}  // namespace
}  // namespace tav
