// "Files input" writes the window's file fields once per action, not once
// per file: on the real window each write lays the field's text out anew,
// which made a season of 2,000 files take seconds.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "jobscript/job_step.h"
#include "model/control_ids.h"
#include "model/forwarding_surface.h"
#include "support/test_app.h"

namespace tav {
namespace {

using Lines = std::vector<std::string>;

// Forwards to the in-memory controls and counts the texts written per control.
class CountingSurface final : public ForwardingSurface {
public:
    using ForwardingSurface::ForwardingSurface;
    std::map<int, int> text_writes;

    void set_text(int id, std::string_view text) override {
        ++text_writes[id];
        inner().set_text(id, text);
    }
};

constexpr int kFileFields[] = {ctl::InputFile, ctl::OutputFile, ctl::StatsFile, ctl::LogFile};

struct FilesInputRun {
    test::TestApp t;
    CountingSurface window{t.ui};

    void run(const Lines& files) {
        t.platform.folder_answers.push_back("D:\\out\\");
        t.platform.open_many_answers.push_back(files);
        Context ctx{window, t.platform, t.ctx.program_folder, t.session};
        add_jobs_for_files(ctx);
    }
    Lines echoed(std::string_view prefix) const {
        Lines found;
        for (const std::string& line : t.ui.items(ctl::JobList))
            if (line.starts_with(prefix)) found.push_back(line.substr(prefix.size()));
        return found;
    }
};

TEST(FilesInputWrites, EachFileFieldIsWrittenAtMostOnceWhateverTheNumberOfFiles) {
    for (int count : {1, 3, 40}) {
        SCOPED_TRACE(count);
        FilesInputRun r;
        Lines files;
        for (int i = 0; i < count; ++i)
            files.push_back("E:\\season\\ep" + std::to_string(i) + (i % 2 ? ".avs" : ".mkv"));
        r.run(files);

        // Every job still carries its own file's names.
        const Lines inputs = r.echoed("@echo Input:");
        const Lines outputs = r.echoed("@echo Output:");
        ASSERT_EQ(inputs.size(), files.size());
        ASSERT_EQ(outputs.size(), files.size());
        for (int i = 0; i < count; ++i) {
            const std::string stem = "ep" + std::to_string(i);
            EXPECT_EQ(inputs[i], i % 2 ? "\"E:\\season\\" + stem + ".avs\"" : "\"C:\\prog\\avs\\" + stem + ".mkv.avs\"");
            EXPECT_EQ(outputs[i], "\"D:\\out\\" + stem + ".mp4\"");
        }
        for (int id : kFileFields) {
            EXPECT_LE(r.window.text_writes[id], 1) << "control " << id;
            // As after any complete job, the fields end empty.
            EXPECT_EQ(r.t.ui.text(id), "") << "control " << id;
        }
    }
}

TEST(FilesInputWrites, FieldsEndAsTheLastFileLeftThemWhenItsWrapperFailed) {
    FilesInputRun r;
    r.t.platform.unwritable.insert("C:\\prog\\avs\\last.avi.avs");
    r.run({"E:\\season\\first.avi", "E:\\season\\last.avi"});

    EXPECT_EQ(r.echoed("@echo Input:"), Lines{"\"C:\\prog\\avs\\first.avi.avs\""});
    // The failed file's names stay in the fields, so the user sees which one.
    EXPECT_EQ(r.t.ui.text(ctl::InputFile), "E:\\season\\last.avi");
    EXPECT_EQ(r.t.ui.text(ctl::OutputFile), "D:\\out\\last.mp4");
    EXPECT_EQ(r.t.ui.text(ctl::StatsFile), "C:\\prog\\stats\\last.avi.stat");
    EXPECT_EQ(r.t.ui.text(ctl::LogFile), "C:\\prog\\log\\last.avi.txt");
    for (int id : kFileFields) EXPECT_LE(r.window.text_writes[id], 1) << "control " << id;
    EXPECT_EQ(r.t.platform.messages().size(), 1u);
}

// Wrappers left by earlier runs are kept, and finding them costs one
// listing of the "avs" folder per action, not a file lookup per input.
TEST(FilesInputWrites, LeftWrappersAreFoundWithOneListingPerAction) {
    FilesInputRun r;
    const std::string left = "fs=\"E:\\old\\ep1.avi\"\r\nmfn=\"E:\\old\\ep1\"\r\nimport(\"..\\avsinc\\x.avs\")\r\n";
    r.t.platform.files["C:\\prog\\avs\\ep1.avi.avs"] = left;
    Lines files;
    for (int i = 0; i < 300; ++i) files.push_back("E:\\season\\ep" + std::to_string(i) + ".avi");
    const int reads_before = r.t.platform.file_reads, listings_before = r.t.platform.folder_listings;
    r.run(files);

    const Lines inputs = r.echoed("@echo Input:");
    ASSERT_EQ(inputs.size(), files.size());
    EXPECT_EQ(inputs[0], "\"C:\\prog\\avs\\ep0.avi.avs\"");
    EXPECT_EQ(inputs[1], "\"C:\\prog\\avs\\ep1-2.avi.avs\"");
    EXPECT_EQ(r.t.platform.files["C:\\prog\\avs\\ep1.avi.avs"], left);
    EXPECT_EQ(r.t.platform.folder_listings - listings_before, 1);
    EXPECT_LE(r.t.platform.file_reads - reads_before, 1);  // only the wrapper that is there
}

}  // namespace
}  // namespace tav
