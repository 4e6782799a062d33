#include <gtest/gtest.h>

#include <map>

#include "encoder/dialect.h"
#include "encoder/option_list.h"
#include "support/test_data.h"

namespace tav {
namespace {

const std::string& today() { return test::todays_option_list(); }
const std::string& era() { return test::era_option_list(); }

EncoderDialect dialect_of(const std::string& help) {
    auto list = OptionList::parse(help);
    EXPECT_TRUE(list.has_value());
    if (!list) return EncoderDialect();
    return EncoderDialect(std::make_shared<const EncoderAnswer>(
        EncoderAnswer{{"C:\\tools\\x264.exe", {1000, 2000}}, std::move(*list)}));
}

const EncoderDialect kDocumented;

TEST(OptionList, ReadsEveryDefinitionWithItsValueFormAndNothingFromDescriptions) {
    const auto now = OptionList::parse(today());
    const auto old = OptionList::parse(era());
    ASSERT_TRUE(now && old);
    struct Case {
        const OptionList& list;
        const char* name;
        bool defined, value;
    };
    const Case cases[] = {
        {*now, "-I", true, true},          {*now, "--keyint", true, true},
        {*now, "--b-pyramid", true, true}, {*old, "--b-pyramid", true, false},
        {*now, "--sar", true, true},       {*now, "--no-mixed-refs", true, false},
        {*now, "--cqm4i", true, true},     {*now, "--cqm8p", true, true},  // several names, one value
        {*now, "--vf", true, true},        {*now, "--video-filter", true, true},
        {*old, "-8", true, false},         {*old, "--8x8dct", true, false},
        {*now, "--tune", true, true},      {*now, "--no-8x8dct", true, false},
        // Named only inside descriptions and examples, or not at all.
        {*now, "--fast-pskip", false, false}, {*now, "--mixed-refs", false, false},
        {*now, "-w", false, false},           {*now, "--nf", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.list.defines(c.name), c.defined) << c.name;
        EXPECT_EQ(c.list.takes_value(c.name), c.value) << c.name;
    }
    // Windows line ends read the same.
    std::string crlf;
    for (char ch : era()) crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    const auto old_crlf = OptionList::parse(crlf);
    ASSERT_TRUE(old_crlf);
    EXPECT_EQ(old_crlf->size(), old->size());
    EXPECT_TRUE(old_crlf->defines("--b-rdo"));
    EXPECT_FALSE(old_crlf->takes_value("--b-pyramid"));
}

TEST(OptionList, RefusesWhatIsNoX264OptionList) {
    std::string other_program = "usage: lputs [options] file\n";
    for (int i = 0; i < 20; ++i) other_program += "  --option" + std::to_string(i) + " <n>   does something\n";
    const std::string cases[] = {
        "",
        "x264 [error]: unknown option or missing argument\n",
        "[run]\r\ntool=x264.exe\r\nargc=2\r\n[end]\r\n",
        other_program,
        // Names x264 and a few options: a usage line, not the list.
        "x264 core:164\nSyntax: x264 [options] -o outfile infile\n  -h, --help    List basic options\n"
        "      --longhelp   List more options\n      --fullhelp   List all options\n",
    };
    for (const std::string& text : cases) EXPECT_FALSE(OptionList::parse(text).has_value()) << text;
}

// Every option resolves against both lists: only the five options today's
// x264 refuses change, and an encoder of 2008 gets every one as documented.
TEST(EncoderDialect, TodaysEncoderGetsItsOwnFormOfTheFiveAndAnEraEncoderEveryOptionAsDocumented) {
    const EncoderDialect now = dialect_of(today()), old = dialect_of(era());
    const std::map<Opt, std::string> rewritten = {
        {Opt::Progress, ""}, {Opt::NoPsnr, ""}, {Opt::NoSsim, ""}, {Opt::Bime, ""}, {Opt::BRdo, ""},
        {Opt::BPyramid, " --b-pyramid normal"}, {Opt::BPyramidOff, " --b-pyramid none"},
    };
    for (size_t i = 0; i < kOptCount; ++i) {
        const Opt option = static_cast<Opt>(i);
        const auto rewrite = rewritten.find(option);
        EXPECT_EQ(now.text(option), rewrite != rewritten.end() ? rewrite->second : kDocumented.text(option)) << i;
        EXPECT_EQ(old.text(option), kDocumented.text(option)) << i;
    }
    // Spellings that today's list leaves out but still takes are no unknowns.
    std::string every_option = "@x264.exe";
    for (size_t i = 0; i < kOptCount; ++i) every_option += kDocumented.text(static_cast<Opt>(i)) + " ";
    EXPECT_TRUE(now.unknown_in(every_option).none());
    EXPECT_TRUE(old.unknown_in(every_option).none());
}

TEST(EncoderDialect, OptionsKnownInNeitherFormStayAsDocumentedAndAreFoundWhereALineCarriesThem) {
    using Names = std::vector<std::string>;
    // A cut-down build of today: no noise reduction, no PSNR switch, no
    // per-partition references.
    const EncoderDialect cut = dialect_of(test::without_definitions(today(), {"--nr", "--psnr", "--no-mixed-refs"}));
    EXPECT_EQ(cut.text(Opt::Nr), " --nr ");
    EXPECT_EQ(cut.text(Opt::NoPsnr), " --no-psnr");
    EXPECT_EQ(cut.text(Opt::NoSsim), "");  // "--ssim" is still there
    EXPECT_EQ(cut.text(Opt::MixedRefs), " --mixed-refs");
    EXPECT_EQ(option_names(cut.unknown_in("@x264.exe --no-psnr --mixed-refs --nr 5 -o nul \"a.avs\"")),
              (Names{"--no-psnr", "--mixed-refs", "--nr"}));
    // A file name may hold anything: only words outside the quotes are options.
    EXPECT_EQ(option_names(cut.unknown_in("@x264.exe --crf 20 --nr 0 -o \"D:\\--mixed-refs x\\a.mp4\" "
                                          "\"C:\\my --no-psnr clip.avs\" 2>&1|lputs.exe \"--nr.txt\"")),
              Names{"--nr"});
    EXPECT_TRUE(cut.unknown_in("@x264.exe --nrx 1 --no-psnrs -q 20").none());

    // An era build without pyramids: the ticked box's option is unknown;
    // writing nothing for the unticked box is always understood.
    const EncoderDialect flat = dialect_of(test::without_definitions(era(), {"--b-pyramid"}));
    EXPECT_EQ(flat.text(Opt::BPyramidOff), "");
    EXPECT_EQ(flat.text(Opt::BPyramid), " --b-pyramid");
    EXPECT_EQ(option_names(flat.unknown_in("@x264.exe -b 2 --b-pyramid -o nul \"a.avs\"")), Names{"--b-pyramid"});
    // The documented lines ask nothing of an encoder that did not answer.
    EXPECT_TRUE(kDocumented.unknown_in("@x264.exe --nr 5 --b-pyramid").none());
}

}  // namespace
}  // namespace tav
