// The options of an encoder line as the encoder that will run it takes
// them. The lines are documented for an x264 of 2008; a build of today
// refuses five of those options and takes one with a value. One table maps
// every option the program writes to its text for the encoder at hand:
// - as documented when the encoder lists it, or lists a sign that it still
//   takes it (x264 keeps old spellings it no longer lists);
// - else the successor's text when the encoder lists the successor;
// - else as documented, and the option is reported as unknown.
// With an encoder of that era, or none found, every text is as documented.
#pragma once

#include <array>
#include <bitset>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "encoder/encoder_probe.h"
#include "encoder/settings_view.h"

namespace tav {

// Every option the program writes, by its documented spelling.
enum class Opt {
    Progress,       // --progress
    NoPsnr,         // --no-psnr
    NoSsim,         // --no-ssim
    Cqm,            // --cqm
    Cqmfile,        // --cqmfile
    NoFastPskip,    // --no-fast-pskip
    NoDctDecimate,  // --no-dct-decimate
    ThreadInput,    // --thread-input
    MixedRefs,      // --mixed-refs
    Scenecut,       // --scenecut
    Keyint,         // -I
    MinKeyint,      // -i
    NoCabac,        // --no-cabac
    Trellis,        // -t
    Me,             // --me
    Merange,        // --merange
    Sar,            // --sar
    Threads,        // --threads
    Ref,            // -r
    Nr,             // --nr
    Deblock,        // -f
    NoDeblock,      // --nf
    Bframes,        // -b
    Direct,         // --direct
    Bime,           // --bime
    NoBAdapt,       // --no-b-adapt
    BBias,          // --b-bias
    BPyramid,       // --b-pyramid ("Use as references" ticked)
    BPyramidOff,    // nothing ("Use as references" not ticked)
    Weightb,        // -w
    Ipratio,        // --ipratio
    Pbratio,        // --pbratio
    Dct8x8,         // --8x8dct
    Partitions,     // -A
    Qpmin,          // --qpmin
    Qpmax,          // --qpmax
    Qpstep,         // --qpstep
    Qcomp,          // --qcomp
    NoChromaMe,     // --no-chroma-me
    Subme,          // -m
    BRdo,           // --b-rdo
    Ratetol,        // --ratetol
    VbvInit,        // --vbv-init
    VbvBufsize,     // --vbv-bufsize
    VbvMaxrate,     // --vbv-maxrate
    Stats,          // --stats
    Pass,           // -p
    Qp,             // -q
    Crf,            // --crf
    Bitrate,        // -B
    Output,         // -o
    Count
};
constexpr std::size_t kOptCount = static_cast<std::size_t>(Opt::Count);
// A set of options, by Opt.
using OptionSet = std::bitset<kOptCount>;

class EncoderDialect {
public:
    // The documented lines.
    EncoderDialect();
    // For the encoder that gave this answer; null gives the documented lines.
    explicit EncoderDialect(std::shared_ptr<const EncoderAnswer> answer);

    // The option's text with the blanks the line needs around it (" -I ",
    // " --bime"), or empty when the encoder takes its meaning without a word.
    const std::string& text(Opt option) const { return *texts_[static_cast<std::size_t>(option)]; }
    // The options an encoder line carries (as words outside double quotes)
    // that the encoder knows in neither form.
    OptionSet unknown_in(std::string_view line) const;
    // The encoder that answered; null for the documented lines.
    const EncoderFile* encoder() const { return answer_ ? &answer_->file : nullptr; }

private:
    std::shared_ptr<const EncoderAnswer> answer_;
    std::array<const std::string*, kOptCount> texts_{};
    OptionSet unknown_;
};

// The lines as documented, for an encoder of the era or none found.
const EncoderDialect& documented_dialect();

// The documented names of the options, in the table's order.
std::vector<std::string> option_names(const OptionSet& options);

// The option as the encoder of the view's lines takes it.
inline const std::string& opt(const SettingsView& s, Opt option) { return s.dialect().text(option); }

}  // namespace tav
