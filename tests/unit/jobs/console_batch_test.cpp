// Batches in the console's code page: accented names converted, jobs it
// cannot carry left out whole and reported. The fake platform models code
// pages 1252 and 437: '\xE9' (e acute) is '\x82' in the console, '\x80'
// (euro) and '\x9C' (oe) have no console form.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "model/control_ids.h"
#include "support/test_app.h"

namespace tav {
namespace {

using Lines = std::vector<std::string>;

// The lines of a written batch between its header and, for Start, its
// closing self-deletion.
Lines job_part(const std::string& text, size_t header_lines, bool closes_with_del) {
    Lines lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    if (closes_with_del) {
        EXPECT_EQ(text.substr(start), "del temp.bat");
    }
    if (lines.size() < header_lines) return {"<no header>"};
    return Lines(lines.begin() + static_cast<std::ptrdiff_t>(header_lines), lines.end());
}

// "Make BAT" and "Start" write their batches the same way.
struct Writer {
    const char* name;
    std::function<void(test::TestApp&)> write;
    std::function<std::optional<std::string>(test::TestApp&)> written;
    size_t header_lines;
    bool closes_with_del;
};

const Writer kWriters[] = {
    {"Make BAT",
     [](test::TestApp& t) {
         t.platform.save_answers.push_back("D:\\jobs\\run.bat");
         t.click(ctl::MakeBat);
     },
     [](test::TestApp& t) -> std::optional<std::string> {
         const auto it = t.platform.files.find("D:\\jobs\\run.bat");
         if (it == t.platform.files.end()) return std::nullopt;
         return it->second;
     },
     4, false},
    {"Start", [](test::TestApp& t) { t.click(ctl::Start); },
     [](test::TestApp& t) -> std::optional<std::string> {
         if (t.platform.started.empty()) return std::nullopt;
         return t.platform.started.back().content_at_start;
     },
     6, true},
};

TEST(ConsoleBatch, AccentsAreWrittenInTheConsoleCodePageAndJobsItCannotCarryAreLeftOutWhole) {
    const Lines ascii_job = {"@echo.", "@echo Input:\"D:\\a.avs\"", "@x264.exe -o \"D:\\a.mp4\" \"D:\\a.avs\"", "@echo+"};
    const Lines accented_job = {"@echo.", "@echo Input:\"D:\\Am\xE9lie.avs\"",
                                "@x264.exe -o \"D:\\Am\xE9lie.mp4\" \"D:\\Am\xE9lie.avs\"", "@echo+"};
    const Lines accented_in_console = {"@echo.", "@echo Input:\"D:\\Am\x82lie.avs\"",
                                       "@x264.exe -o \"D:\\Am\x82lie.mp4\" \"D:\\Am\x82lie.avs\"", "@echo+"};
    const auto joined = [](std::initializer_list<Lines> parts) {
        Lines all;
        for (const Lines& part : parts) all.insert(all.end(), part.begin(), part.end());
        return all;
    };
    const struct Case {
        const char* what;
        Lines list;
        Lines written;
        Lines reported;  // the first line of each job left out
    } cases[] = {
        {"accents are converted, ASCII stays", joined({ascii_job, accented_job}),
         joined({ascii_job, accented_in_console}), {}},
        {"a euro sign leaves its job out and keeps the others",
         joined({ascii_job, {"@echo.", "@echo Input:\"D:\\5\x80.avs\"", "@x264.exe \"D:\\5\x80.avs\"", "@echo+"},
                 accented_job}),
         joined({ascii_job, accented_in_console}), {"@echo Input:\"D:\\5\x80.avs\""}},
        {"a name only the log pipe holds leaves the whole job out, markers included",
         {"@echo.", "@x264.exe \"D:\\a.avs\" 2>&1|lputs.exe \"D:\\c\x9Cur.txt\"", "@mp4box.exe -add \"D:\\a.aac\"",
          "@echo+", "shutdown.exe -s -f -t 30"},
         {"shutdown.exe -s -f -t 30"}, {"@x264.exe \"D:\\a.avs\" 2>&1|lputs.exe \"D:\\c\x9Cur.txt\""}},
        {"a line outside any job is left out alone", joined({{"@echo \x80"}, accented_job}), accented_in_console,
         {"@echo \x80"}},
        {"a job whose end marker is gone runs to the end of the list",
         joined({{"@echo.", "@x264.exe \"D:\\\x80.avs\""}, ascii_job}), {}, {"@x264.exe \"D:\\\x80.avs\""}},
    };
    for (const Writer& writer : kWriters) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(writer.name) + ": " + c.what);
            test::TestApp t;
            t.set_job_lines(c.list);
            writer.write(t);
            const auto text = writer.written(t);
            ASSERT_TRUE(text.has_value());
            EXPECT_EQ(job_part(*text, writer.header_lines, writer.closes_with_del), c.written);
            EXPECT_EQ(t.job_lines(), c.list);  // the window keeps every job as it was
            EXPECT_EQ(t.ui.state(ctl::JobList), static_cast<int>(c.list.size()) - 1);
            const auto messages = t.platform.messages();
            if (c.reported.empty()) {
                EXPECT_TRUE(messages.empty());
                continue;
            }
            ASSERT_EQ(messages.size(), 1u);
            std::string listed;
            for (const std::string& line : c.reported) listed += "\n" + line;
            EXPECT_TRUE(messages[0].ends_with(":" + listed)) << messages[0];
            EXPECT_NE(messages[0].find(writer.name == std::string("Start") ? "C:\\prog\\temp.bat" : "D:\\jobs\\run.bat"),
                      std::string::npos);
        }
    }
}

TEST(ConsoleBatch, AProgramFolderTheConsoleCannotReadGivesNoBatch) {
    for (const Writer& writer : kWriters) {
        SCOPED_TRACE(writer.name);
        test::TestApp t;
        t.ctx.program_folder = "C:\\5\x80\\";
        t.set_job_lines({"@echo.", "@echo+"});
        writer.write(t);
        EXPECT_FALSE(writer.written(t).has_value());
        EXPECT_TRUE(t.platform.started.empty());
        EXPECT_EQ(t.platform.files.count("D:\\jobs\\run.bat") + t.platform.files.count("C:\\5\x80\\temp.bat"), 0u);
        ASSERT_EQ(t.platform.messages().size(), 1u);
        EXPECT_NE(t.platform.messages()[0].find("\"C:\\5\x80\\\""), std::string::npos);
    }
    // The program folder in the header is converted like every line.
    test::TestApp t;
    t.ctx.program_folder = "C:\\Am\xE9lie\\";
    kWriters[0].write(t);
    EXPECT_TRUE(kWriters[0].written(t)->starts_with("@cd /d \"C:\\Am\x82lie\\\"\r\n"));
}

}  // namespace
}  // namespace tav
