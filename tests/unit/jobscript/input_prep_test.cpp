#include <gtest/gtest.h>

#include <map>
#include <string>

#include "jobscript/audio_mux.h"
#include "jobscript/input_prep.h"
#include "model/control_ids.h"
#include "support/test_app.h"

namespace tav {
namespace {

constexpr const char* kProg = "C:\\prog\\";

class PrepareInput : public ::testing::Test {
protected:
    void SetUp() override {
        t.ui.append_item(ctl::Template, "plain");
        t.ui.append_item(ctl::Template, "deint");
        t.ui.set_text(ctl::Template, "plain");
    }
    // Chooses `input` as the "..." chooser does, with output folder `folder`.
    void prepare(const std::string& input, const std::string& folder) {
        t.ui.set_text(ctl::InputFile, input);
        prepare_input(t.ctx, folder);
    }
    // Adds the job of the chosen input: from now on it holds its names.
    void add() { t.click(ctl::Add); }
    std::string field(int id) const { return t.ui.text(id); }
    std::string file(const std::string& path) const {
        const auto it = t.platform.files.find(path);
        return it == t.platform.files.end() ? "<none>" : it->second;
    }

    test::TestApp t;
};

TEST_F(PrepareInput, NamesAndWrappersFollowTheInput) {
    const struct {
        std::string input;
        std::string own_name;  // of the wrapper, statistics and log files
        std::string output;    // in D:\out\ .
        std::string mfn;       // empty: no wrapper
    } cases[] = {
        {"E:\\clips\\movie.avi", "movie.avi", "D:\\out\\movie.mp4", "E:\\clips\\movie"},
        {"E:\\clips\\upper.AVI", "upper.AVI", "D:\\out\\upper.mp4", "E:\\clips\\upper"},
        {"E:\\clips\\a.b.mkv", "a.b.mkv", "D:\\out\\a.b.mp4", "E:\\clips\\a.b"},
        {"E:\\my.clips\\bare", "bare", "D:\\out\\bare.mp4", "E:\\my.clips\\bare"},
        {"E:/fwd/slash.avi", "slash.avi", "D:\\out\\slash.mp4", "E:/fwd/slash"},
        {"E:\\clips\\script.avs", "script.avs", "D:\\out\\script.mp4", ""},
        {"E:\\clips\\mixed.Avs", "mixed.Avs", "D:\\out\\mixed.mp4", ""},
        {"E:\\clips\\caps.AVS", "caps.AVS", "D:\\out\\caps.mp4", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        t.platform.files.clear();
        prepare(c.input, "D:\\out\\");
        EXPECT_EQ(field(ctl::StatsFile), std::string(kProg) + "stats\\" + c.own_name + ".stat");
        EXPECT_EQ(field(ctl::LogFile), std::string(kProg) + "log\\" + c.own_name + ".txt");
        EXPECT_EQ(field(ctl::OutputFile), c.output);
        if (c.mfn.empty()) {
            EXPECT_EQ(field(ctl::InputFile), c.input);
            EXPECT_TRUE(t.platform.files.empty());
        } else {
            const std::string wrapper = std::string(kProg) + "avs\\" + c.own_name + ".avs";
            EXPECT_EQ(field(ctl::InputFile), wrapper);
            EXPECT_EQ(file(wrapper), "fs=\"" + c.input + "\"\r\nmfn=\"" + c.mfn +
                                         "\"\r\nimport(\"..\\avsinc\\plain.avs\")\r\n");
        }
    }
}

TEST_F(PrepareInput, WorkedExampleWrapper) {
    prepare("E:\\clips\\movie.avi", "D:\\out\\");
    EXPECT_EQ(file("C:\\prog\\avs\\movie.avi.avs"),
              "fs=\"E:\\clips\\movie.avi\"\r\n"
              "mfn=\"E:\\clips\\movie\"\r\n"
              "import(\"..\\avsinc\\plain.avs\")\r\n");
    EXPECT_EQ(field(ctl::StatsFile), "C:\\prog\\stats\\movie.avi.stat");
    EXPECT_EQ(field(ctl::LogFile), "C:\\prog\\log\\movie.avi.txt");
    EXPECT_EQ(field(ctl::OutputFile), "D:\\out\\movie.mp4");
}

TEST_F(PrepareInput, WithoutATemplateTheImportNamesAnEmptyOne) {
    t.ui.set_text(ctl::Template, "");
    prepare("E:\\clips\\movie.avi", "D:\\out\\");
    EXPECT_EQ(file("C:\\prog\\avs\\movie.avi.avs"),
              "fs=\"E:\\clips\\movie.avi\"\r\nmfn=\"E:\\clips\\movie\"\r\nimport(\"..\\avsinc\\.avs\")\r\n");
}

TEST_F(PrepareInput, ChoosingTheSameInputAgainRewritesItsWrapperWithTheCurrentTemplate) {
    prepare("E:\\clips\\movie.avi", "D:\\out\\");
    t.ui.set_text(ctl::Template, "deint");
    prepare("E:\\clips\\movie.avi", "D:\\out\\");
    EXPECT_EQ(field(ctl::InputFile), "C:\\prog\\avs\\movie.avi.avs");
    EXPECT_EQ(field(ctl::OutputFile), "D:\\out\\movie.mp4");
    EXPECT_NE(file("C:\\prog\\avs\\movie.avi.avs").find("deint.avs"), std::string::npos);
}

TEST_F(PrepareInput, AnEmptyInputChangesNothing) {
    t.ui.set_text(ctl::OutputFile, "keep.mp4");
    t.ui.set_text(ctl::StatsFile, "keep.stat");
    prepare("", "D:\\out\\");
    EXPECT_EQ(field(ctl::OutputFile), "keep.mp4");
    EXPECT_EQ(field(ctl::StatsFile), "keep.stat");
    EXPECT_EQ(field(ctl::LogFile), "");
    EXPECT_TRUE(t.platform.files.empty());
    EXPECT_TRUE(t.platform.asked.empty());
}

TEST_F(PrepareInput, AWrapperThatCannotBeWrittenIsReportedAndNotReferenced) {
    t.platform.unwritable.insert("C:\\prog\\avs\\");
    prepare("E:\\clips\\movie.avi", "D:\\out\\");
    EXPECT_EQ(field(ctl::InputFile), "E:\\clips\\movie.avi");
    EXPECT_EQ(field(ctl::OutputFile), "D:\\out\\movie.mp4");
    ASSERT_EQ(t.platform.messages().size(), 1u);
    EXPECT_NE(t.platform.messages()[0].find("C:\\prog\\avs\\movie.avi.avs"), std::string::npos);

    // A partly written wrapper is no wrapper either.
    t.platform.unwritable.clear();
    t.platform.short_write = 10;
    prepare("E:\\clips\\other.avi", "D:\\out\\");
    EXPECT_EQ(field(ctl::InputFile), "E:\\clips\\other.avi");
    EXPECT_EQ(t.platform.messages().size(), 2u);
}

TEST_F(PrepareInput, SameNamedInputsFromOtherFoldersGetNamesOfTheirOwn) {
    prepare("E:\\a\\movie.avi", "D:\\out\\");
    add();
    const std::string first_wrapper = file("C:\\prog\\avs\\movie.avi.avs");

    prepare("E:\\b\\movie.avi", "D:\\out\\");
    EXPECT_EQ(field(ctl::InputFile), "C:\\prog\\avs\\movie-2.avi.avs");
    EXPECT_EQ(field(ctl::StatsFile), "C:\\prog\\stats\\movie-2.avi.stat");
    EXPECT_EQ(field(ctl::LogFile), "C:\\prog\\log\\movie-2.avi.txt");
    EXPECT_EQ(field(ctl::OutputFile), "D:\\out\\movie-2.mp4");
    EXPECT_EQ(file("C:\\prog\\avs\\movie-2.avi.avs"),
              "fs=\"E:\\b\\movie.avi\"\r\nmfn=\"E:\\b\\movie\"\r\nimport(\"..\\avsinc\\plain.avs\")\r\n");
    // The earlier job still reads its own input.
    EXPECT_EQ(file("C:\\prog\\avs\\movie.avi.avs"), first_wrapper);
    add();

    prepare("E:\\c\\MOVIE.AVI", "D:\\out\\");  // file names ignore letter case
    EXPECT_EQ(field(ctl::InputFile), "C:\\prog\\avs\\MOVIE-3.AVI.avs");
    EXPECT_EQ(field(ctl::OutputFile), "D:\\out\\MOVIE-3.mp4");

    // Choosing an input again, in any letter case, gives it its own names again.
    prepare("e:\\B\\Movie.avi", "D:\\out\\");
    EXPECT_EQ(field(ctl::InputFile), "C:\\prog\\avs\\Movie-2.avi.avs");
    prepare("E:\\a\\movie.avi", "D:\\out\\");
    EXPECT_EQ(field(ctl::InputFile), "C:\\prog\\avs\\movie.avi.avs");
    EXPECT_EQ(field(ctl::OutputFile), "D:\\out\\movie.mp4");
}

TEST_F(PrepareInput, SameNamedScriptsGetStatisticsAndLogsOfTheirOwn) {
    prepare("E:\\a\\movie.avs", "E:\\a\\");
    add();
    prepare("E:\\b\\movie.avs", "E:\\b\\");
    EXPECT_EQ(field(ctl::InputFile), "E:\\b\\movie.avs");
    EXPECT_EQ(field(ctl::StatsFile), "C:\\prog\\stats\\movie-2.avs.stat");
    EXPECT_EQ(field(ctl::LogFile), "C:\\prog\\log\\movie-2.avs.txt");
    // Outputs in different folders do not clash and keep their names.
    EXPECT_EQ(field(ctl::OutputFile), "E:\\b\\movie.mp4");
}

TEST_F(PrepareInput, AnotherInputWithTheSameStemGetsAnOutputOfItsOwn) {
    prepare("E:\\clips\\movie.avi", "D:\\out\\");
    add();
    prepare("E:\\clips\\movie.mkv", "D:\\out\\");
    EXPECT_EQ(field(ctl::InputFile), "C:\\prog\\avs\\movie.mkv.avs");  // no clash there
    EXPECT_EQ(field(ctl::OutputFile), "D:\\out\\movie-2.mp4");
}

TEST_F(PrepareInput, TheOutputNeverOverwritesTheInput) {
    prepare("E:\\clips\\movie.mp4", "E:\\clips\\");
    EXPECT_EQ(field(ctl::OutputFile), "E:\\clips\\movie-2.mp4");
    EXPECT_EQ(field(ctl::InputFile), "C:\\prog\\avs\\movie.mp4.avs");
    // Nor the input of an earlier job.
    add();
    prepare("E:\\other\\movie.avi", "E:\\clips\\");
    EXPECT_EQ(field(ctl::OutputFile), "E:\\clips\\movie-3.mp4");
}

TEST_F(PrepareInput, MkvMergeNeverMuxesIntoASourceOfAJob) {
    InputNames& names = t.session.input_names;
    EXPECT_EQ(muxed_mkv_name(t.ctx, "E:\\v\\movie.mp4"), "E:\\v\\movie.mkv");
    prepare("E:\\v\\Movie.MKV", "E:\\v\\");
    EXPECT_EQ(field(ctl::OutputFile), "E:\\v\\Movie.mp4");
    // The input being added counts before its job is in the list.
    EXPECT_EQ(muxed_mkv_name(t.ctx, field(ctl::OutputFile)), "E:\\v\\Movie.muxed.mkv");
    EXPECT_TRUE(names.is_job_input(t.ctx, "e:\\V\\movie.mkv"));
    EXPECT_FALSE(names.is_job_input(t.ctx, "E:\\v\\movie.mp4"));
    add();
    // Elsewhere the ordinary name stays.
    EXPECT_EQ(muxed_mkv_name(t.ctx, "D:\\out\\Movie.mp4"), "D:\\out\\Movie.mkv");
    // Nor into a source that has the fallback name.
    prepare("E:\\v\\movie.muxed.MKV", "D:\\out\\");
    EXPECT_EQ(muxed_mkv_name(t.ctx, "E:\\v\\Movie.mp4"), "E:\\v\\Movie.muxed.muxed.mkv");
}

// Choosing an input only looks at names: one replaced before "Add" holds
// none, so the next input gets the names it would get alone.
TEST_F(PrepareInput, AnInputReplacedBeforeAddHoldsNoName) {
    prepare("E:\\clips\\movie.AVI", "E:\\clips\\");
    prepare("E:\\clips\\movie.Avs", "E:\\clips\\");
    EXPECT_EQ(field(ctl::OutputFile), "E:\\clips\\movie.mp4");
    EXPECT_EQ(field(ctl::StatsFile), "C:\\prog\\stats\\movie.Avs.stat");

    prepare("E:\\a\\film.avi", "D:\\out\\");
    prepare("E:\\b\\film.avi", "D:\\out\\");  // its wrapper replaces the one nothing reads
    EXPECT_EQ(field(ctl::InputFile), "C:\\prog\\avs\\film.avi.avs");
    EXPECT_EQ(field(ctl::OutputFile), "D:\\out\\film.mp4");
    EXPECT_TRUE(file("C:\\prog\\avs\\film.avi.avs").starts_with("fs=\"E:\\b\\film.avi\""));

    // Once added, the names are the job's.
    add();
    prepare("E:\\a\\film.avi", "D:\\out\\");
    EXPECT_EQ(field(ctl::InputFile), "C:\\prog\\avs\\film-2.avi.avs");
    EXPECT_EQ(field(ctl::OutputFile), "D:\\out\\film-2.mp4");
}

TEST_F(PrepareInput, EachWindowHandsOutNamesOfItsOwn) {
    prepare("E:\\a\\movie.avs", "D:\\out\\");
    add();
    test::TestApp other;
    other.ui.set_text(ctl::InputFile, "E:\\b\\movie.avs");
    prepare_input(other.ctx, "D:\\out\\");
    EXPECT_EQ(other.ui.text(ctl::StatsFile), "C:\\prog\\stats\\movie.avs.stat");
    EXPECT_EQ(other.ui.text(ctl::OutputFile), "D:\\out\\movie.mp4");
}

// A batch file made in an earlier run, or still running, reads the wrappers
// it names: a later run must not turn one into another input's.
TEST_F(PrepareInput, AWrapperOfAnotherInputLeftByAnEarlierRunIsKept) {
    const auto wrapper_of = [](const std::string& input) {
        return "fs=\"" + input + "\"\r\nmfn=\"x\"\r\nimport(\"..\\avsinc\\old.avs\")\r\n";
    };
    const struct {
        std::map<std::string, std::string> left;  // wrapper name -> the input it names
        std::string own_name;
    } cases[] = {
        {{}, "movie.avi"},
        {{{"movie.avi", "E:\\b\\movie.avi"}}, "movie.avi"},  // this input's own: written anew
        {{{"movie.avi", "e:\\B\\MOVIE.AVI"}}, "movie.avi"},  // letter case aside
        {{{"movie.avi", "E:\\a\\movie.avi"}}, "movie-2.avi"},
        {{{"movie.avi", "E:\\a\\movie.avi"}, {"movie-2.avi", "E:\\c\\movie.avi"}}, "movie-3.avi"},
        {{{"movie.avi", "E:\\b\\movie.avi.old"}}, "movie-2.avi"},  // a longer path is another input
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.own_name + " after " + std::to_string(c.left.size()) + " wrapper(s)");
        t.session = Session{};
        t.platform.files.clear();
        for (const auto& [name, input] : c.left) t.platform.files["C:\\prog\\avs\\" + name + ".avs"] = wrapper_of(input);
        prepare("E:\\b\\movie.avi", "D:\\out\\");
        const std::string wrapper = "C:\\prog\\avs\\" + c.own_name + ".avs";
        EXPECT_EQ(field(ctl::InputFile), wrapper);
        EXPECT_EQ(field(ctl::StatsFile), "C:\\prog\\stats\\" + c.own_name + ".stat");
        EXPECT_TRUE(file(wrapper).starts_with("fs=\"E:\\b\\movie.avi\"\r\nmfn=")) << file(wrapper);
        for (const auto& [name, input] : c.left) {
            if (name == c.own_name) continue;
            EXPECT_EQ(file("C:\\prog\\avs\\" + name + ".avs"), wrapper_of(input));
        }
    }
}

TEST_F(PrepareInput, TheInputChooserPutsTheOutputBesideTheInput) {
    t.platform.open_answers.push_back("E:\\clips\\movie.avi");
    t.click(ctl::InputBrowse);
    EXPECT_EQ(field(ctl::InputFile), "C:\\prog\\avs\\movie.avi.avs");
    EXPECT_EQ(field(ctl::OutputFile), "E:\\clips\\movie.mp4");
    EXPECT_EQ(field(ctl::StatsFile), "C:\\prog\\stats\\movie.avi.stat");
}

}  // namespace
}  // namespace tav
