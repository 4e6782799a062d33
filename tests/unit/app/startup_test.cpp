// The window's controls right after start-up, the control table, and the
// dispatch of the buttons that are not tied to another module.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "model/control_ids.h"
#include "model/control_table.h"
#include "support/test_app.h"

namespace tav {
namespace {

std::vector<std::string> items(const test::TestApp& t, int id) { return t.ui.items(id); }

TEST(ControlTable, IdentifiersAreUniqueAndPlacedInsideTheirPage) {
    std::set<int> seen;
    int audio_frames = 0;
    for (const ControlSpec& c : control_table()) {
        if (c.id == ctl::Unassigned) {
            ++audio_frames;
            continue;
        }
        EXPECT_TRUE(seen.insert(c.id).second) << "duplicate id " << c.id;
        EXPECT_EQ(find_control(c.id), &c);
        if (c.page != Page::Window) {
            // Pages are 4 px narrower than the panel and lie below the tab row.
            EXPECT_LE(c.x + c.width, 310) << c.id;
        }
    }
    EXPECT_EQ(audio_frames, 1);
    EXPECT_EQ(find_control(99), nullptr);
    EXPECT_EQ(find_control(-5), nullptr);
    EXPECT_EQ(find_control(1000), nullptr);
}

TEST(Startup, ChoiceListsHoldTheirItemsAndInitialSelection) {
    test::TestApp t;
    EXPECT_EQ(items(t, ctl::DirectMode), (std::vector<std::string>{"Temporal", "Spatial", "Auto", "None"}));
    EXPECT_EQ(items(t, ctl::AudioEncoder),
              (std::vector<std::string>{"CT AAC", "Nero", " |-sse2", "Nero(ABR)", " |-sse2", "Nero(Q)", " |-sse2"}));
    EXPECT_EQ(items(t, ctl::Muxer),
              (std::vector<std::string>{"MP4Box", "MP4Creator", "MKVMerge", "No mux", "Audio Only"}));
    EXPECT_EQ(items(t, ctl::MeMethod), (std::vector<std::string>{"Diamond Search", "Hexagonal Search",
                                                                  "Uneven Muti-Hexagon", "Exhaustive Search"}));
    EXPECT_EQ(items(t, ctl::QuantMatrix), (std::vector<std::string>{"flat", "jvt", "custom..."}));
    EXPECT_EQ(items(t, ctl::Trellis), (std::vector<std::string>{"0", "1", "2"}));
    EXPECT_EQ(items(t, ctl::PartitionDecision),
              (std::vector<std::string>{"1(Fastest)", "2", "3", "4", "5(Highest)", "6(RDO)", "6b(RDO on B-frames)",
                                        "7(Best)", "7b(RDO on B-frames)"}));
    // Other modules and stored settings name the modes by these indices.
    EXPECT_EQ(items(t, ctl::Mode),
              (std::vector<std::string>{"Single Pass - Bitrate", "Single Pass - Quantizer", "Single Pass - CRF",
                                        "Mutipass - First Pass", "Mutipass - First Pass(fast)", "Mutipass - Nth pass",
                                        "Automated Double Passes", "Automated Double Passes(fast)",
                                        "Mutipass - First Pass(CRF)", "Mutipass - First Pass(CRF-fast)",
                                        "Automated Double Passes(1P-CRF)", "Automated Double Passes(1P-CRF-fast)",
                                        "Mutipass - First Pass(CRF with output)",
                                        "Conditional Double Passes(1P-CRF)"}));

    EXPECT_EQ(t.ui.text(ctl::Mode), "Single Pass - Quantizer");
    EXPECT_EQ(t.ui.text(ctl::PartitionDecision), "5(Highest)");
    EXPECT_EQ(t.ui.text(ctl::AudioEncoder), "Nero");
    EXPECT_EQ(t.ui.text(ctl::Muxer), "MP4Box");
    EXPECT_EQ(t.ui.text(ctl::MeMethod), "Hexagonal Search");
    EXPECT_EQ(t.ui.text(ctl::QuantMatrix), "flat");
    EXPECT_EQ(t.ui.text(ctl::DirectMode), "Auto");
    EXPECT_EQ(t.ui.state(ctl::Trellis), -1);
}

TEST(Startup, InitialCheckEnabledSliderAndHiddenStates) {
    test::TestApp t;
    const std::set<int> checked = {ctl::UpdateStats, ctl::Transform8x8, ctl::PSearch8x8, ctl::BSearch8x8,
                                   ctl::Intra8x8,    ctl::Intra4x4,     ctl::AdaptiveB,  ctl::WeightedB,
                                   ctl::ChromaMe,    ctl::Cabac,        ctl::Deblock};
    const std::set<int> disabled = {ctl::UpdateStats, ctl::StatsBrowse, ctl::StatsFile, ctl::MixedRefs,
                                    ctl::QuantCompression, ctl::MinQp, ctl::MaxQp, ctl::MaxQpStep,
                                    ctl::MeRange, ctl::AudioBitrate};
    const std::set<int> hidden = {ctl::FirstPassCrf, ctl::CrfLabel, ctl::SizeMode};
    for (const ControlSpec& c : control_table()) {
        if (c.id < 0) continue;
        if (c.kind == ControlKind::CheckBox) {
            EXPECT_EQ(t.ui.checked(c.id), checked.count(c.id) > 0) << c.id;
        }
        EXPECT_EQ(t.ui.enabled(c.id), disabled.count(c.id) == 0) << c.id;
        EXPECT_EQ(t.ui.visible(c.id), hidden.count(c.id) == 0) << c.id;
    }
    EXPECT_EQ(t.ui.state(ctl::BiasSlider), 100);
    EXPECT_EQ(t.ui.state(ctl::DeblockStrength), 6);
    EXPECT_EQ(t.ui.state(ctl::DeblockThreshold), 6);
}

TEST(Startup, CreatesTheWorkingFoldersInOrder) {
    struct RecordingPlatform : test::FakePlatform {
        std::vector<std::string> created;
        void create_folder(const std::string& path) override {
            created.push_back(path);
            FakePlatform::create_folder(path);
        }
    } platform;
    create_working_folders(platform, "C:\\prog\\");
    EXPECT_EQ(platform.created, (std::vector<std::string>{"C:\\prog\\avs", "C:\\prog\\stats", "C:\\prog\\configs",
                                                          "C:\\prog\\log", "C:\\prog\\avsinc"}));
}

TEST(Startup, ListsTheFilesBeforeTheSettingsChooseFromThem) {
    test::TestApp t;
    t.platform.files["C:\\prog\\AVSinc\\grain.avs"] = "";
    t.platform.files["C:\\prog\\AVSinc\\sharp.avs"] = "";
    t.platform.files["C:\\prog\\configs\\fast.ini"] = "";
    t.platform.files["tavrelion.ini"] = "avsinc = sharp\r\nmode = 5\r\n";
    t.start();
    EXPECT_EQ(items(t, ctl::PresetName), (std::vector<std::string>{"fast"}));
    EXPECT_EQ(items(t, ctl::Template), (std::vector<std::string>{"grain", "sharp"}));
    // The saved template can only be chosen once the template list is filled.
    EXPECT_EQ(t.ui.text(ctl::Template), "sharp");
    EXPECT_EQ(t.ui.text(ctl::Mode), "Mutipass - Nth pass");
    // The lists were filled once, before the settings, not again after them.
    EXPECT_EQ(t.ui.item_count(ctl::Mode), 14);
}

TEST(Dispatch, CancelEndsTheLoopAndOtherControlsDoNot) {
    test::TestApp t;
    EXPECT_FALSE(t.click(ctl::Cancel));
    EXPECT_TRUE(t.click(ctl::Cabac));
    EXPECT_TRUE(t.app.handle({ctl::JobList, Trigger::DoubleClick}));
    // An identifier without a control is ignored.
    EXPECT_TRUE(t.app.handle({99, Trigger::Click}));
}

}  // namespace
}  // namespace tav
