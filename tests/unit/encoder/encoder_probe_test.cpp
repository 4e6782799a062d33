#include <gtest/gtest.h>

#include <chrono>

#include "encoder/encoder_probe.h"
#include "support/fake_platform.h"
#include "support/test_data.h"

namespace tav {
namespace {

using namespace std::chrono_literals;

TEST(FindEncoder, TakesTheProgramFolderFirstThenTheSearchPathInOrder) {
    struct Case {
        const char* what;
        std::vector<const char*> present;
        const char* search_path;
        const char* found;  // "" for none
    };
    const Case cases[] = {
        {"nothing anywhere", {}, "C:\\a;C:\\b", ""},
        {"beside the program first", {"C:\\prog\\x264.exe", "C:\\a\\x264.exe"}, "C:\\a", "C:\\prog\\x264.exe"},
        {"first entry that has it", {"C:\\b\\x264.exe", "C:\\c\\x264.exe"}, "C:\\a;C:\\b;C:\\c", "C:\\b\\x264.exe"},
        {"quotes, blanks, empty entries", {"C:\\my tools\\x264.exe"}, ";; \"C:\\my tools\" ;", "C:\\my tools\\x264.exe"},
        {"entry ending with a separator", {"D:\\bin\\x264.exe"}, "D:\\bin\\", "D:\\bin\\x264.exe"},
        {"relative entry, from the program folder", {"C:\\prog\\tools\\x264.exe"}, "tools", "C:\\prog\\tools\\x264.exe"},
    };
    for (const Case& c : cases) {
        test::FakePlatform platform;
        platform.set_search_path(c.search_path);
        for (const char* path : c.present) platform.put_program(path, {});
        const auto found = find_encoder(platform, "C:\\prog\\");
        EXPECT_EQ(found ? found->path : std::string(), c.found) << c.what;
    }
}

TEST(EncoderProbe, AnOlderBuildThatRefusesFullhelpIsAskedForLonghelp) {
    test::FakePlatform platform;
    const std::string encoder = "C:\\prog\\x264.exe";
    platform.put_program(encoder, {{10, 1},
                                   {{"--fullhelp", "x264 [error]: unknown option or missing argument\n"},
                                    {"--longhelp", test::era_option_list()}}});
    EncoderProbe probe;
    probe.look(platform, "C:\\prog\\", 5s);
    const auto answer = probe.status().answer;
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->file.path, encoder);
    EXPECT_EQ(answer->file.stamp, (FileStamp{10, 1}));
    EXPECT_TRUE(answer->options.defines("--b-rdo"));
    EXPECT_EQ(platform.program_runs(), (std::vector<std::string>{encoder + " --fullhelp", encoder + " --longhelp"}));
}

}  // namespace
}  // namespace tav
