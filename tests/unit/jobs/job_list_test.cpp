#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "jobs/job_list.h"
#include "model/control_ids.h"
#include "support/test_app.h"

namespace tav {
namespace {

using Lines = std::vector<std::string>;

// Three jobs with a loose line between the second and the third.
const Lines kThreeJobs = {
    "@echo.", "@echo Encode Mode:Single Pass - Bitrate", "@x264.exe one", "@echo+",
    "@echo.", "@x264.exe two", "@echo+",
    "shutdown.exe -s -f -t 30",
    "@echo.", "@x264.exe three", "@echo+",
};

Lines without(const Lines& lines, int first, int last) {
    Lines out;
    for (int i = 0; i < static_cast<int>(lines.size()); ++i)
        if (i < first || i > last) out.push_back(lines[i]);
    return out;
}

int selection(const test::TestApp& t) { return t.ui.state(ctl::JobList); }

class JobList : public ::testing::Test {
protected:
    test::TestApp t;
    void given(const Lines& lines, int selected) {
        t.set_job_lines(lines);
        t.select_line(selected);
    }
};

TEST_F(JobList, EveryLineButtonIgnoresAClickWithNothingSelected) {
    for (int button : {ctl::View, ctl::Up, ctl::Down, ctl::Edit, ctl::Disable, ctl::Del}) {
        SCOPED_TRACE(button);
        given(kThreeJobs, -1);
        t.platform.input_answers.push_back(std::string("replaced"));
        t.click(button);
        EXPECT_EQ(t.job_lines(), kThreeJobs);
        EXPECT_TRUE(t.platform.asked.empty());
        EXPECT_EQ(selection(t), -1);
        t.platform.input_answers.clear();
    }
}

TEST_F(JobList, ViewShowsTheSelectedLineAndChangesNothing) {
    given(kThreeJobs, 2);
    t.click(ctl::View);
    ASSERT_EQ(t.platform.asked.size(), 1u);
    EXPECT_EQ(t.platform.asked[0].kind, "message");
    EXPECT_EQ(t.platform.asked[0].title, "The command line parameter is:");
    EXPECT_EQ(t.platform.asked[0].text, "@x264.exe one");
    EXPECT_EQ(t.job_lines(), kThreeJobs);
    EXPECT_EQ(selection(t), 2);
}

TEST_F(JobList, UpSwapsWithTheLineAboveAndDropsTheSelection) {
    given({"a", "b", "c"}, 2);
    t.click(ctl::Up);
    EXPECT_EQ(t.job_lines(), (Lines{"a", "c", "b"}));
    EXPECT_EQ(selection(t), -1);

    t.click(ctl::Up);  // nothing selected any more
    EXPECT_EQ(t.job_lines(), (Lines{"a", "c", "b"}));
}

TEST_F(JobList, UpOnTheFirstLineAndDownOnTheLastChangeNothing) {
    given({"a", "b", "c"}, 0);
    t.click(ctl::Up);
    EXPECT_EQ(t.job_lines(), (Lines{"a", "b", "c"}));
    EXPECT_EQ(selection(t), 0);

    t.select_line(2);
    t.click(ctl::Down);
    EXPECT_EQ(t.job_lines(), (Lines{"a", "b", "c"}));
    EXPECT_EQ(selection(t), 2);
}

TEST_F(JobList, DownSwapsWithTheLineBelowAndDropsTheSelection) {
    given({"a", "b", "c"}, 1);
    t.click(ctl::Down);
    EXPECT_EQ(t.job_lines(), (Lines{"a", "c", "b"}));
    EXPECT_EQ(selection(t), -1);

    given({"a", "b", "c"}, 0);
    t.click(ctl::Down);
    EXPECT_EQ(t.job_lines(), (Lines{"b", "a", "c"}));
}

TEST_F(JobList, UpAndDownKeepEmptyAndIdenticalLinesApart) {
    given({"x", "", "x"}, 1);
    t.click(ctl::Up);
    EXPECT_EQ(t.job_lines(), (Lines{"", "x", "x"}));
    t.select_line(0);
    t.click(ctl::Down);
    t.select_line(1);
    t.click(ctl::Down);
    EXPECT_EQ(t.job_lines(), (Lines{"x", "x", ""}));
}

TEST_F(JobList, EditAsksWithTheLineAndTakesTheAnswer) {
    struct Case {
        const char* name;
        std::optional<std::string> answer;
        std::string expected_line;
    };
    const Case cases[] = {
        {"changed", std::string("@x264.exe --crf 20"), "@x264.exe --crf 20"},
        {"unchanged", std::string("@x264.exe two"), "@x264.exe two"},
        {"emptied and OK", std::string(""), ""},
        {"cancelled", std::nullopt, "@x264.exe two"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        t.platform.asked.clear();
        given(kThreeJobs, 5);
        t.platform.input_answers.push_back(c.answer);
        t.click(ctl::Edit);

        ASSERT_EQ(t.platform.asked.size(), 1u);
        EXPECT_EQ(t.platform.asked[0].kind, "input");
        EXPECT_EQ(t.platform.asked[0].title, "Edit");
        EXPECT_EQ(t.platform.asked[0].text, "For expert only!");
        EXPECT_EQ(t.platform.asked[0].filter, "@x264.exe two");  // the prefilled field

        Lines expected = kThreeJobs;
        expected[5] = c.expected_line;
        EXPECT_EQ(t.job_lines(), expected);
        EXPECT_EQ(selection(t), -1);
    }
}

TEST_F(JobList, DisableCommentsTheLineOutAndASecondClickUndoesIt) {
    given(kThreeJobs, 2);
    t.click(ctl::Disable);
    Lines disabled = kThreeJobs;
    disabled[2] = "@rem @x264.exe one";
    EXPECT_EQ(t.job_lines(), disabled);  // the rest of the job stays as it was
    EXPECT_EQ(selection(t), 2);

    t.click(ctl::Disable);
    EXPECT_EQ(t.job_lines(), kThreeJobs);
    EXPECT_EQ(selection(t), 2);
}

TEST_F(JobList, DisableLooksAtTheFirstFiveCharactersOnly) {
    const struct {
        const char* before;
        const char* after;
    } cases[] = {
        {"@rem typed by hand", "typed by hand"},
        {"@rem ", ""},
        {"@rem", "@rem @rem"},
        {"@remx", "@rem @remx"},
        {"@REM x", "@rem @REM x"},
        {"", "@rem "},
        {"rem x", "@rem rem x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before);
        given({"first", c.before, "last"}, 1);
        t.click(ctl::Disable);
        EXPECT_EQ(t.job_lines(), (Lines{"first", c.after, "last"}));
        EXPECT_EQ(selection(t), 1);
    }
}

TEST_F(JobList, ClearEmptiesTheListWithoutAsking) {
    given(kThreeJobs, 4);
    t.click(ctl::Clear);
    EXPECT_TRUE(t.job_lines().empty());
    EXPECT_EQ(selection(t), -1);
    EXPECT_TRUE(t.platform.asked.empty());

    t.click(ctl::Clear);  // an empty list stays empty
    EXPECT_TRUE(t.job_lines().empty());
}

TEST_F(JobList, DelOnAnyLineOfAJobRemovesThatJobOnly) {
    const struct {
        int first, last;  // the job's lines in kThreeJobs
    } jobs[] = {{0, 3}, {4, 6}, {8, 10}};
    for (const auto& job : jobs) {
        for (int line = job.first; line <= job.last; ++line) {
            SCOPED_TRACE(line);
            given(kThreeJobs, line);
            t.click(ctl::Del);
            EXPECT_EQ(t.job_lines(), without(kThreeJobs, job.first, job.last));
            EXPECT_EQ(selection(t), -1);
        }
    }
}

TEST_F(JobList, DelOnALineBetweenJobsRemovesTheJobAboveAndKeepsTheLine) {
    given(kThreeJobs, 7);
    t.click(ctl::Del);
    EXPECT_EQ(t.job_lines(), without(kThreeJobs, 4, 6));
    EXPECT_EQ(t.job_lines()[4], "shutdown.exe -s -f -t 30");
    EXPECT_EQ(selection(t), -1);
}

TEST_F(JobList, DelOnAListNotStartingWithAJobRemovesUpToTheFirstEndMarker) {
    const Lines lines = {"@rem @echo.", "loose", "@x264.exe", "@echo+", "@echo.", "b", "@echo+"};
    for (int line : {0, 1, 3}) {
        SCOPED_TRACE(line);
        given(lines, line);
        t.click(ctl::Del);
        EXPECT_EQ(t.job_lines(), (Lines{"@echo.", "b", "@echo+"}));
    }
}

TEST_F(JobList, DelTellsMarkersByTheirFirstSixCharacters) {
    // "@echo.x" still starts a job and "@echo+ tail" still ends one; " @echo+"
    // and "@echo" do not.
    const Lines lines = {"@echo.x", "a", " @echo+", "@echo", "@echo+ tail", "after"};
    given(lines, 3);
    t.click(ctl::Del);
    EXPECT_EQ(t.job_lines(), (Lines{"after"}));
}

TEST_F(JobList, DelOfTheLastJobWithItsEndMarkerEditedRunsToTheEndOfTheList) {
    Lines lines = kThreeJobs;
    lines[10] = "@rem @echo+";
    lines.push_back("shutdown.exe -s -f -t 30");
    given(lines, 9);
    t.click(ctl::Del);
    EXPECT_EQ(t.job_lines(), without(kThreeJobs, 8, 10));
}

TEST_F(JobList, DelOfAJobWithItsEndMarkerEditedRunsOnToTheNextEndMarker) {
    // Without its own end marker the job reaches to the next one: the
    // following job goes with it.
    Lines lines = kThreeJobs;
    lines[3] = "@rem @echo+";
    given(lines, 1);
    t.click(ctl::Del);
    EXPECT_EQ(t.job_lines(), without(kThreeJobs, 0, 6));
}

TEST_F(JobList, DelOfALeadingEndMarkerRunsToTheNextEndMarker) {
    // The lone end marker is the first line; the walk down starts below it.
    given({"@echo+", "@echo.", "a", "@echo+", "b"}, 0);
    t.click(ctl::Del);
    EXPECT_EQ(t.job_lines(), (Lines{"b"}));
}

TEST_F(JobList, DelOfAJobWhoseStartWasDisabledFallsBackToTheJobAbove) {
    // The disabled start is no marker, so the nearest start above is the
    // first job's; the walk down ends at that job's end marker.
    Lines lines = kThreeJobs;
    lines[4] = "@rem @echo.";
    given(lines, 5);
    t.click(ctl::Del);
    Lines expected = without(lines, 0, 3);
    EXPECT_EQ(t.job_lines(), expected);
}

TEST_F(JobList, DelOnASingleLineAndOnEmptyLines) {
    given({"only"}, 0);
    t.click(ctl::Del);
    EXPECT_TRUE(t.job_lines().empty());

    given({"", "", "@echo+", ""}, 1);
    t.click(ctl::Del);
    EXPECT_EQ(t.job_lines(), (Lines{""}));
}

// With 100,000 lines every button answers at once: no operation may touch
// the whole list line by line. The bounds leave room for a loaded machine
// and a debug build; a per-line rescan of the list takes seconds.
TEST(JobListSpeed, EveryButtonStaysQuickOnAHundredThousandLines) {
    test::TestApp t;
    Lines lines;
    lines.reserve(100'000);
    for (int job = 0; lines.size() < 100'000; ++job) {
        lines.push_back("@echo.");
        lines.push_back("@echo Encode Mode:Single Pass - Bitrate");
        lines.push_back("@x264.exe --bitrate 1000 --output \"job" + std::to_string(job) + ".mp4\" \"in.avs\"");
        lines.push_back("@echo+");
    }
    t.set_job_lines(lines);
    const int count = static_cast<int>(lines.size());

    using Clock = std::chrono::steady_clock;
    const auto timed = [&](int button, int line) {
        t.select_line(line);
        t.platform.input_answers.push_back(std::string("edited"));
        const auto start = Clock::now();
        t.click(button);
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    };
    for (int place : {0, 1, 2}) {
        const int now = t.ui.item_count(ctl::JobList);
        const int line = place == 0 ? 1 : place == 1 ? now / 2 : now - 2;
        for (int button : {ctl::View, ctl::Up, ctl::Down, ctl::Edit, ctl::Disable, ctl::Del}) {
            SCOPED_TRACE(testing::Message() << "button " << button << " line " << line);
            EXPECT_LT(timed(button, line), 250);
        }
    }
    // The lines moved and edited above leave jobs of uneven length; each del
    // still removed one.
    EXPECT_LT(t.ui.item_count(ctl::JobList), count - 3);
    EXPECT_GT(t.ui.item_count(ctl::JobList), count - 3 * 8);

    // A job whose end marker is gone runs to the end of the list: removing
    // it costs its own length, never its length squared (which takes seconds).
    std::vector<std::string> no_markers(100'000, "@x264.exe");
    no_markers[0] = "@echo.";
    t.set_job_lines(no_markers);
    EXPECT_LT(timed(ctl::Del, 50'000), 2000);
    EXPECT_EQ(t.ui.item_count(ctl::JobList), 0);
}

}  // namespace
}  // namespace tav
