// The reference run of the "Files input" timing writes the wrappers with a
// plain loop of its own: it must write exactly the files that the program
// writes, or the timing compares unlike work.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "model/control_ids.h"
#include "plain_wrapper.h"
#include "support/test_app.h"

namespace tav {
namespace {

using Files = std::map<std::string, std::string>;

const std::vector<std::string> kMedia = {
    "E:\\season 2\\episode 0001.avi",
    "E:\\season 2\\Episode 0002.MKV",
    "E:\\my.clips\\two.dots.mp4",
    "E:\\my.clips\\bare",
    "E:/forward/slash.avi",
};

// The files in the program's "avs" folder after "Files input" of kMedia,
// with `template_name` chosen in the window.
Files program_wrappers(const std::string& template_name) {
    test::TestApp t;
    if (!template_name.empty()) {
        t.ui.append_item(ctl::Template, template_name);
        t.ui.set_text(ctl::Template, template_name);
    }
    t.platform.folder_answers.push_back("D:\\out\\");
    t.platform.open_many_answers.push_back(kMedia);
    t.click(ctl::FilesInput);
    const std::string avs = t.platform.folder + "avs\\";
    Files wrappers;
    for (const auto& [path, text] : t.platform.files)
        if (path.starts_with(avs)) wrappers[path.substr(avs.size())] = text;
    return wrappers;
}

Files plain_wrappers(const std::string& template_name) {
    Files wrappers;
    for (const std::string& input : kMedia) {
        const bench::PlainWrapper wrapper = bench::plain_wrapper(input, template_name);
        wrappers[wrapper.name] = wrapper.text;
    }
    return wrappers;
}

TEST(PlainWrapper, WritesTheSameFilesAsFilesInputWithAndWithoutATemplate) {
    for (const std::string template_name : {"", "deinterlace"}) {
        SCOPED_TRACE("template \"" + template_name + "\"");
        const Files expected = program_wrappers(template_name);
        ASSERT_EQ(expected.size(), kMedia.size());
        EXPECT_EQ(plain_wrappers(template_name), expected);
    }
}

}  // namespace
}  // namespace tav
