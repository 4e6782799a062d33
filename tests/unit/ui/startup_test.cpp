#include <gtest/gtest.h>

#include "support/test_app.h"
#include "ui/control_ids.h"

namespace tav {
namespace {

TEST(Startup, ChoiceListsShowTheirInitialItems) {
    test::TestApp t;
    EXPECT_EQ(t.ui.text(ctl::Mode), "Single Pass - Quantizer");
    EXPECT_EQ(t.ui.text(ctl::PartitionDecision), "5(Highest)");
    EXPECT_EQ(t.ui.text(ctl::AudioEncoder), "Nero");
    EXPECT_EQ(t.ui.text(ctl::Muxer), "MP4Box");
    EXPECT_EQ(t.ui.text(ctl::MeMethod), "Hexagonal Search");
    EXPECT_EQ(t.ui.text(ctl::QuantMatrix), "flat");
    EXPECT_EQ(t.ui.text(ctl::DirectMode), "Auto");
    EXPECT_EQ(t.ui.state(ctl::Trellis), -1);
    EXPECT_EQ(t.ui.item_count(ctl::Mode), 14);
}

}  // namespace
}  // namespace tav
