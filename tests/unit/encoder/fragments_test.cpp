#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "encoder/dialect.h"
#include "encoder/fragments.h"
#include "model/control_ids.h"
#include "support/test_app.h"

namespace tav {
namespace {

// The window as the user leaves it for the common-part example: the start-up
// state plus "Fast P Skip", "DCT Decimate" and trellis 1.
struct Fragments : ::testing::Test {
    test::TestApp t;
    Fragments() {
        t.click(ctl::FastPSkip);
        t.click(ctl::DctDecimate);
        t.select(ctl::Trellis, 1);
    }
    SettingsView view() const { return SettingsView(t.ui, documented_dialect()); }
    void tick(int id, bool on) {
        if (t.ui.checked(id) != on) t.click(id);
    }
};

TEST_F(Fragments, CommonPartOfTheWorkedExample) {
    EXPECT_EQ(common_options(view()),
              " --cqm flat --scenecut 40 -I 250 -i 25 -t 1 --me hex --sar 1:1 --threads 1 -r 1 --nr 0 -f 0:0"
              " -b 2 --direct \"auto\" --b-bias 0 -w");
}

TEST_F(Fragments, PerModeFragmentsOfTheWorkedExample) {
    const SettingsView s = view();
    EXPECT_EQ(ratio_options(s), " --ipratio 1.400000 --pbratio 1.300000");
    EXPECT_EQ(partition_options(s), " --8x8dct -A p8x8,b8x8,i8x8,i4x4");
    EXPECT_EQ(fast_partition_options(s), " -A p8x8,i4x4");
    EXPECT_EQ(qp_options(s, true), " --qpmin 10 --qpmax 51 --qpstep 4 --qcomp 0.600000");
    EXPECT_EQ(qp_options(s, false), " --qpmin 10 --qpmax 51");
    EXPECT_EQ(chroma_options(s), "");
    EXPECT_EQ(subpel_options(s), " -m 5");
    EXPECT_EQ(fast_subpel_options(s), " -m 3");
    EXPECT_EQ(vbv_options(s, true), " --ratetol 1.000000 --vbv-init 0.9 --vbv-bufsize 0 --vbv-maxrate 0");
    EXPECT_EQ(vbv_options(s, false), " --vbv-init 0.9 --vbv-bufsize 0 --vbv-maxrate 0");
}

TEST_F(Fragments, PartitionListsFollowTheTickedBoxes) {
    struct Case {
        std::vector<int> ticked;
        const char* full;
        const char* fast;
    };
    const std::vector<int> all = {ctl::Transform8x8, ctl::PSearch8x8, ctl::BSearch8x8,
                                  ctl::PSearch4x4,   ctl::Intra8x8,   ctl::Intra4x4};
    const Case cases[] = {
        {{}, " -A none", " -A none"},
        {{ctl::Transform8x8}, " --8x8dct -A none", " -A none"},
        {all, " --8x8dct -A p8x8,p4x4,b8x8,i8x8,i4x4", " -A p8x8,i4x4"},
        // 4x4 P search counts only under the 8x8 P search; 8x8 intra only under the transform.
        {{ctl::PSearch4x4, ctl::Intra8x8}, " -A none", " -A none"},
        {{ctl::PSearch8x8, ctl::PSearch4x4}, " -A p8x8,p4x4", " -A p8x8"},
        {{ctl::Transform8x8, ctl::Intra8x8}, " --8x8dct -A i8x8", " -A none"},
        {{ctl::BSearch8x8, ctl::Intra4x4}, " -A b8x8,i4x4", " -A i4x4"},
        {{ctl::Intra4x4}, " -A i4x4", " -A i4x4"},
    };
    for (const Case& c : cases) {
        for (int id : all) t.ui.set_state(id, 0);
        for (int id : c.ticked) t.ui.set_state(id, 1);
        EXPECT_EQ(partition_options(view()), c.full) << c.full;
        EXPECT_EQ(fast_partition_options(view()), c.fast) << c.full;
    }
}

TEST_F(Fragments, BFrameOptionsOnlyWithBFrames) {
    t.click(ctl::BidirectionalMe);
    t.click(ctl::AdaptiveB);
    t.click(ctl::BReferences);
    t.slide(ctl::BiasSlider, 130);
    t.select(ctl::DirectMode, 1);
    t.erase(ctl::MaxBFrames);
    t.type(ctl::MaxBFrames, "0");
    EXPECT_EQ(bframe_options(view()), " -b 0");

    t.erase(ctl::MaxBFrames);
    t.type(ctl::MaxBFrames, "3");
    EXPECT_EQ(bframe_options(view()), " -b 3 --direct \"spatial\" --bime --no-b-adapt --b-bias 30 --b-pyramid -w");

    t.click(ctl::WeightedB);
    t.select(ctl::DirectMode, 3);
    t.slide(ctl::BiasSlider, 0);
    EXPECT_EQ(bframe_options(view()), " -b 3 --direct \"none\" --bime --no-b-adapt --b-bias -100 --b-pyramid");
}

TEST_F(Fragments, ThreadsAndReferences) {
    struct Case {
        const char* threads;
        const char* refs;
        const char* expected;
    };
    const Case cases[] = {
        {"0", "1", " --threads auto -r 1"},
        {"2", "3", " --threads 2 -r 3"},
        {" 2", "1", " --threads  2 -r 1"},  // the text goes in as typed
        {" 0", "1", " --threads auto -r 1"},
        {"", "16", " --threads auto -r 16"},
    };
    for (const Case& c : cases) {
        t.paste(ctl::Threads, c.threads);
        t.paste(ctl::MaxRefs, c.refs);
        EXPECT_EQ(thread_options(view()), c.expected) << c.threads;
    }
}

TEST_F(Fragments, FlagOptions) {
    EXPECT_EQ(flag_options(view()), "");
    t.click(ctl::MixedRefs);
    EXPECT_EQ(flag_options(view()), "");  // one reference: no mixed references
    t.paste(ctl::MaxRefs, "2");
    EXPECT_EQ(flag_options(view()), " --mixed-refs");
    t.click(ctl::FastPSkip);
    t.click(ctl::DctDecimate);
    t.click(ctl::ThreadInput);
    EXPECT_EQ(flag_options(view()), " --no-fast-pskip --no-dct-decimate --thread-input --mixed-refs");
}

TEST_F(Fragments, EntropyOptions) {
    struct Case {
        bool cabac;
        int trellis;
        const char* expected;
    };
    const Case cases[] = {
        {false, 2, " --no-cabac"}, {true, 0, ""},         {true, 1, " -t 1"},
        {true, 2, " -t 2"},        {false, 0, " --no-cabac"}, {true, -1, ""},
    };
    for (const Case& c : cases) {
        tick(ctl::Cabac, c.cabac);
        t.select(ctl::Trellis, c.trellis);
        EXPECT_EQ(entropy_options(view()), c.expected) << c.cabac << c.trellis;
    }
}

TEST_F(Fragments, MatrixTexts) {
    EXPECT_EQ(matrix_options(view()), " --cqm flat");
    t.select(ctl::QuantMatrix, 1);
    EXPECT_EQ(matrix_options(view()), " --cqm jvt");
    t.paste(ctl::QuantMatrix, "JVT");
    EXPECT_EQ(matrix_options(view()), " --cqmfile JVT");

    t.platform.open_answers.push_back(std::string("C:\\mats\\my matrix.cfg"));
    t.select(ctl::QuantMatrix, 2);
    EXPECT_EQ(matrix_options(view()), " --cqmfile \"C:\\mats\\my matrix.cfg\"");

    // A '%' in the file name must reach the encoder intact through the batch.
    t.platform.open_answers.push_back(std::string("C:\\100%\\q%1.cfg"));
    t.select(ctl::QuantMatrix, 2);
    EXPECT_EQ(matrix_options(view()), " --cqmfile \"C:\\100%%\\q%%1.cfg\"");
}

TEST_F(Fragments, DecisionLevelGivesSubpelAndChroma) {
    struct Case {
        int decision;
        bool chroma_me;
        const char* chroma;
        const char* subpel;
        const char* fast_subpel;
    };
    const Case cases[] = {
        {0, false, "", " -m 1", " -m 1"},
        {1, true, "", " -m 2", " -m 2"},
        {2, false, "", " -m 3", " -m 3"},
        {3, false, "", " -m 4", " -m 3"},
        {4, false, " --no-chroma-me", " -m 5", " -m 3"},
        {4, true, "", " -m 5", " -m 3"},
        {5, false, " --no-chroma-me", " -m 6", " -m 3"},
        {6, false, " --no-chroma-me", " -m 6 --b-rdo", " -m 3"},
        {7, true, "", " -m 7", " -m 3"},
        {8, false, " --no-chroma-me", " -m 7 --b-rdo", " -m 3"},
    };
    for (const Case& c : cases) {
        t.select(ctl::PartitionDecision, c.decision);
        tick(ctl::ChromaMe, c.chroma_me);
        EXPECT_EQ(chroma_options(view()), c.chroma) << c.decision;
        EXPECT_EQ(subpel_options(view()), c.subpel) << c.decision;
        EXPECT_EQ(fast_subpel_options(view()), c.fast_subpel) << c.decision;
    }
}

TEST_F(Fragments, MotionMethodsAndRange) {
    t.paste(ctl::MeRange, "24");
    const char* expected[] = {" --me dia", " --me hex", " --me umh --merange 24", " --me esa --merange 24"};
    for (int method = 0; method < 4; ++method) {
        t.select(ctl::MeMethod, method);
        EXPECT_EQ(motion_options(view()), expected[method]);
    }
}

TEST_F(Fragments, PercentagesBecomeSixDecimalRatios) {
    struct Case {
        const char* percent;
        const char* offset_ratio;  // keyframe boost, B-frame reduction
        const char* plain_ratio;   // quantizer compression, bitrate variance
    };
    const Case cases[] = {
        {"0", "1.000000", "0.000000"},
        {"100", "2.000000", "1.000000"},
        {"7", "1.070000", "0.070000"},
        {"900", "10.000000", "9.000000"},
        {"", "1.000000", "0.000000"},
        // Beyond 32 bits the value saturates; single precision rounds the quotient.
        {"99999999999", "21474838.000000", "21474836.000000"},
    };
    for (const Case& c : cases) {
        for (int id : {ctl::KeyframeBoost, ctl::BFrameReduction, ctl::QuantCompression, ctl::BitrateVariance})
            t.ui.set_text(id, c.percent);
        const SettingsView s = view();
        EXPECT_EQ(ratio_options(s), std::string(" --ipratio ") + c.offset_ratio + " --pbratio " + c.offset_ratio);
        EXPECT_EQ(qp_options(s, true), std::string(" --qpmin 10 --qpmax 51 --qpstep 4 --qcomp ") + c.plain_ratio);
        EXPECT_EQ(vbv_options(s, true),
                  std::string(" --ratetol ") + c.plain_ratio + " --vbv-init 0.9 --vbv-bufsize 0 --vbv-maxrate 0");
    }
}

TEST_F(Fragments, SampleAspectAndDeblockingTrimBlanksOnly) {
    t.paste(ctl::SarWidth, " 16");
    t.paste(ctl::SarHeight, "9 ");
    EXPECT_EQ(aspect_options(view()), " --sar 16:9");
    t.ui.set_text(ctl::SarWidth, "\t4 ");
    t.ui.set_text(ctl::SarHeight, "  ");
    EXPECT_EQ(aspect_options(view()), " --sar \t4:");

    t.slide(ctl::DeblockStrength, 0);
    t.slide(ctl::DeblockThreshold, 12);
    EXPECT_EQ(deblock_options(view()), " -f -6:6");
    t.click(ctl::Deblock);
    EXPECT_EQ(deblock_options(view()), " --nf");
}

TEST_F(Fragments, TypedTextsEnterUnchanged) {
    t.paste(ctl::NoiseReduction, "");
    t.paste(ctl::SceneCut, "40");
    t.ui.set_text(ctl::MaxIdr, "2%5");
    t.paste(ctl::VbvInitBuffer, "0.5");
    EXPECT_EQ(noise_options(view()), " --nr ");
    EXPECT_EQ(keyframe_options(view()), " --scenecut 40 -I 2%5 -i 25");
    EXPECT_EQ(vbv_options(view(), false), " --vbv-init 0.5 --vbv-bufsize 0 --vbv-maxrate 0");
}

}  // namespace
}  // namespace tav
