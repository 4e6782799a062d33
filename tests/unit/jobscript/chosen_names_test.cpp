// Names the ANSI code page lacks come back from the dialogs with '?' in
// their place: each place that takes a chosen name refuses it, tells the
// user which file, and leaves everything as it was.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/control_ids.h"
#include "support/test_app.h"

namespace tav {
namespace {

using Lines = std::vector<std::string>;

// Each chooser, answered with a name the ANSI code page could not carry,
// reports it and changes nothing.
TEST(NamesWithoutAnsiForm, ChoosersReportTheFileAndLeaveEveryFieldAsItWas) {
    const std::string lacking = "D:\\clips\\??.avi";
    const struct Case {
        const char* what;
        int button;
        bool open_dialog;
    } cases[] = {
        {"input", ctl::InputBrowse, true},  {"output", ctl::OutputBrowse, false},
        {"statistics", ctl::StatsBrowse, false}, {"log", ctl::LogBrowse, false},
        {"Make BAT", ctl::MakeBat, false},
    };
    const int fields[] = {ctl::InputFile, ctl::OutputFile, ctl::StatsFile, ctl::LogFile};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TestApp t;
        t.ui.append_item(ctl::Template, "plain");
        t.ui.set_text(ctl::Template, "plain");
        for (int id : fields) t.ui.set_text(id, "D:\\typed\\" + std::to_string(id));
        t.set_job_lines({"@echo.", "@echo+"});
        (c.open_dialog ? t.platform.open_answers : t.platform.save_answers).push_back(lacking);
        const auto files_before = t.platform.files;
        t.click(c.button);
        for (int id : fields) EXPECT_EQ(t.ui.text(id), "D:\\typed\\" + std::to_string(id));
        EXPECT_EQ(t.platform.files, files_before);  // no wrapper, no batch
        ASSERT_EQ(t.platform.messages().size(), 1u);
        EXPECT_TRUE(t.platform.messages()[0].starts_with("\"" + lacking + "\"")) << t.platform.messages()[0];
    }

    // The matrix cannot keep "custom...": it falls back as on a cancel.
    test::TestApp t;
    t.ui.set_text(ctl::QuantMatrix, "custom...");
    t.platform.open_answers.push_back(lacking);
    t.click(ctl::QuantMatrix);
    EXPECT_EQ(t.ui.text(ctl::QuantMatrix), "flat");
    EXPECT_EQ(t.platform.messages().size(), 1u);
}

TEST(NamesWithoutAnsiForm, FilesInputSkipsAndListsTheFilesAndRefusesSuchAFolder) {
    test::TestApp t;
    t.ui.append_item(ctl::Template, "plain");
    t.ui.set_text(ctl::Template, "plain");
    t.platform.folder_answers.push_back("D:\\out\\");
    t.platform.open_many_answers.push_back(
        std::vector<std::string>{"D:\\in\\one.avs", "D:\\in\\??.avs", "D:\\in\\Am\xE9lie.avi", "D:\\in\\a?.avi"});
    t.click(ctl::FilesInput);
    Lines inputs;
    for (const std::string& line : t.job_lines())
        if (line.starts_with("@echo Input:")) inputs.push_back(line);
    EXPECT_EQ(inputs, (Lines{"@echo Input:\"D:\\in\\one.avs\"", "@echo Input:\"C:\\prog\\avs\\Am\xE9lie.avi.avs\""}));
    EXPECT_EQ(t.platform.files.count("C:\\prog\\avs\\a?.avi.avs"), 0u);
    ASSERT_EQ(t.platform.messages().size(), 1u);
    EXPECT_TRUE(t.platform.messages()[0].ends_with(":\nD:\\in\\??.avs\nD:\\in\\a?.avi")) << t.platform.messages()[0];

    // An output folder of such a name: not even the files are asked for.
    test::TestApp refused;
    refused.platform.folder_answers.push_back("D:\\??\\");
    refused.click(ctl::FilesInput);
    ASSERT_EQ(refused.platform.asked.size(), 2u);
    EXPECT_EQ(refused.platform.asked[1].kind, "message");
    EXPECT_NE(refused.platform.asked[1].text.find("\"D:\\??\\\""), std::string::npos);
    EXPECT_TRUE(refused.job_lines().empty());
}

}  // namespace
}  // namespace tav
