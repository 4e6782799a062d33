#include "encoder/dialect.h"

#include <initializer_list>

namespace tav {
namespace {

// One option the program writes and how an encoder that lacks it takes it.
struct Row {
    Opt option = Opt::Count;
    std::string documented;        // for an encoder of the era, with its blanks
    std::string_view name = {};    // what the encoder lists when it takes `documented` ("": writes nothing)
    bool as_flag = false;          // ...and only when it lists it without a value
    std::string_view sign = {};    // listed: the documented spelling still works unlisted
    std::string_view successor = {};  // listed (the documented one not): `rewrite` is written
    bool successor_takes_value = false;
    std::string rewrite = {};
};

using Table = std::array<Row, kOptCount>;

Table make_table() {
    // clang-format off
    const std::initializer_list<Row> rows = {
        // Shown by default today; "--no-progress" turns it off.
        {Opt::Progress, " --progress", "--progress", false, {}, "--no-progress", false, ""},
        // Off by default today; "--psnr" and "--ssim" turn them on.
        {Opt::NoPsnr, " --no-psnr", "--no-psnr", false, {}, "--psnr", false, ""},
        {Opt::NoSsim, " --no-ssim", "--no-ssim", false, {}, "--ssim", false, ""},
        {Opt::Cqm, " --cqm ", "--cqm"},
        {Opt::Cqmfile, " --cqmfile ", "--cqmfile"},
        {Opt::NoFastPskip, " --no-fast-pskip", "--no-fast-pskip"},
        {Opt::NoDctDecimate, " --no-dct-decimate", "--no-dct-decimate"},
        {Opt::ThreadInput, " --thread-input", "--thread-input"},
        // On by default today: only its opposite is listed.
        {Opt::MixedRefs, " --mixed-refs", "--mixed-refs", false, "--no-mixed-refs"},
        {Opt::Scenecut, " --scenecut ", "--scenecut"},
        {Opt::Keyint, " -I ", "-I"},
        {Opt::MinKeyint, " -i ", "-i"},
        {Opt::NoCabac, " --no-cabac", "--no-cabac"},
        {Opt::Trellis, " -t ", "-t"},
        {Opt::Me, " --me ", "--me"},
        {Opt::Merange, " --merange ", "--merange"},
        {Opt::Sar, " --sar ", "--sar"},
        {Opt::Threads, " --threads ", "--threads"},
        {Opt::Ref, " -r ", "-r"},
        {Opt::Nr, " --nr ", "--nr"},
        {Opt::Deblock, " -f ", "-f"},
        // Listed today as "--no-deblock"; the short spelling stays.
        {Opt::NoDeblock, " --nf", "--nf", false, "--no-deblock"},
        {Opt::Bframes, " -b ", "-b"},
        {Opt::Direct, " --direct ", "--direct"},
        // Always on once the subpixel refinement levels took it over.
        {Opt::Bime, " --bime", "--bime", false, {}, "-m", false, ""},
        // "--b-adapt <method>" replaced it; the old switch still means method 0.
        {Opt::NoBAdapt, " --no-b-adapt", "--no-b-adapt", false, "--b-adapt"},
        {Opt::BBias, " --b-bias ", "--b-bias"},
        // Today it takes a value and is on ("normal") unless told "none";
        // in the era it was a switch, off unless given.
        {Opt::BPyramid, " --b-pyramid", "--b-pyramid", true, {}, "--b-pyramid", true, " --b-pyramid normal"},
        {Opt::BPyramidOff, "", {}, false, {}, "--b-pyramid", true, " --b-pyramid none"},
        // On by default today: only its opposite is listed.
        {Opt::Weightb, " -w", "-w", false, "--no-weightb"},
        {Opt::Ipratio, " --ipratio ", "--ipratio"},
        {Opt::Pbratio, " --pbratio ", "--pbratio"},
        // On by default today: only its opposite is listed.
        {Opt::Dct8x8, " --8x8dct", "--8x8dct", false, "--no-8x8dct"},
        {Opt::Partitions, " -A ", "-A"},
        {Opt::Qpmin, " --qpmin ", "--qpmin"},
        {Opt::Qpmax, " --qpmax ", "--qpmax"},
        {Opt::Qpstep, " --qpstep ", "--qpstep"},
        {Opt::Qcomp, " --qcomp ", "--qcomp"},
        {Opt::NoChromaMe, " --no-chroma-me", "--no-chroma-me"},
        {Opt::Subme, " -m ", "-m"},
        // Part of the subpixel refinement level today (RD on all frames).
        {Opt::BRdo, " --b-rdo", "--b-rdo", false, {}, "-m", false, ""},
        {Opt::Ratetol, " --ratetol ", "--ratetol"},
        {Opt::VbvInit, " --vbv-init ", "--vbv-init"},
        {Opt::VbvBufsize, " --vbv-bufsize ", "--vbv-bufsize"},
        {Opt::VbvMaxrate, " --vbv-maxrate ", "--vbv-maxrate"},
        {Opt::Stats, " --stats ", "--stats"},
        {Opt::Pass, " -p ", "-p"},
        {Opt::Qp, " -q ", "-q"},
        {Opt::Crf, " --crf ", "--crf"},
        {Opt::Bitrate, " -B ", "-B"},
        {Opt::Output, " -o ", "-o"},
    };
    // clang-format on
    Table table;
    for (const Row& row : rows) table[static_cast<std::size_t>(row.option)] = row;
    return table;
}

const Table& table() {
    static const Table rows = make_table();
    return rows;
}

// The text the encoder takes for the row; `unknown` when it knows neither
// the documented form nor a successor.
const std::string* resolve(const Row& row, const OptionList& list, bool& unknown) {
    unknown = false;
    if (!row.name.empty() && list.defines(row.name) && !(row.as_flag && list.takes_value(row.name)))
        return &row.documented;
    if (!row.sign.empty() && list.defines(row.sign)) return &row.documented;
    if (!row.successor.empty() && list.defines(row.successor) &&
        (!row.successor_takes_value || list.takes_value(row.successor)))
        return &row.rewrite;
    unknown = !row.name.empty();
    return &row.documented;
}

}  // namespace

EncoderDialect::EncoderDialect() {
    for (std::size_t i = 0; i < kOptCount; ++i) texts_[i] = &table()[i].documented;
}

EncoderDialect::EncoderDialect(std::shared_ptr<const EncoderAnswer> answer) : EncoderDialect() {
    answer_ = std::move(answer);
    if (!answer_) return;
    for (std::size_t i = 0; i < kOptCount; ++i) {
        bool unknown = false;
        texts_[i] = resolve(table()[i], answer_->options, unknown);
        unknown_[i] = unknown;
    }
}

OptionSet EncoderDialect::unknown_in(std::string_view line) const {
    OptionSet found;
    if (unknown_.none()) return found;
    // File names stand in double quotes and may hold anything.
    bool quoted = false;
    std::size_t word_start = 0;
    for (std::size_t i = 0; i <= line.size(); ++i) {
        const bool end = i == line.size() || (!quoted && line[i] == ' ');
        if (i < line.size() && line[i] == '"') quoted = !quoted;
        if (!end) continue;
        const std::string_view word = line.substr(word_start, i - word_start);
        word_start = i + 1;
        for (std::size_t o = 0; o < kOptCount; ++o)
            if (unknown_[o] && word == table()[o].name) found[o] = true;
    }
    return found;
}

const EncoderDialect& documented_dialect() {
    static const EncoderDialect documented;
    return documented;
}

std::vector<std::string> option_names(const OptionSet& options) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < kOptCount; ++i)
        if (options[i]) names.emplace_back(table()[i].name);
    return names;
}

}  // namespace tav
