#include "jobscript/input_names.h"

#include <array>

#include "common/paths.h"
#include "common/text_rules.h"
#include "common/working_folders.h"
#include "encoder/dialect.h"
#include "encoder/pass_line.h"
#include "jobscript/job_markers.h"
#include "jobscript/wrappers.h"
#include "model/control_ids.h"

namespace tav {
namespace {

constexpr std::string_view kInputHeader = "@echo Input:";
constexpr std::string_view kOutputHeader = "@echo Output:";
// Where the encoder lines name a job's statistics file and its log: the
// option and the pipe, then the file name in double quotes. Every dialect
// writes the statistics option as documented.
const std::array<std::string, 2>& named_file_markers() {
    static const std::array<std::string, 2> markers = {documented_dialect().text(Opt::Stats) + "\"",
                                                       std::string(kLogPipe) + "\""};
    return markers;
}

// A line as it runs: a disabled line still tells what its job was.
std::string_view enabled_form(std::string_view line) {
    while (line.starts_with(kDisabledPrefix)) line.remove_prefix(kDisabledPrefix.size());
    return line;
}

// A file name as the batch line holds it: in double quotes, '%' doubled.
std::string name_from_batch(std::string_view text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = text.substr(1, text.size() - 2);
    std::string name;
    name.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        name += text[i];
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == '%') ++i;
    }
    return name;
}

// The files a line names after the markers of named_file_markers.
void add_named_files(std::string_view line, std::vector<std::string>& named) {
    for (const std::string& marker : named_file_markers()) {
        const std::size_t at = line.find(marker);
        if (at == std::string_view::npos) continue;
        const std::size_t start = at + marker.size();
        const std::size_t end = line.find('"', start);
        if (end != std::string_view::npos) named.push_back(name_from_batch(line.substr(start, end - start)));
    }
}

}  // namespace

std::string InputNames::lower(std::string_view text) { return lower_cased(text); }

void InputNames::hold(Holders& holders, std::string key, const std::string& input) {
    const auto [held, fresh] = holders.try_emplace(std::move(key), input);
    // Held by jobs of two inputs: neither may take it again.
    if (!fresh && held->second != input) held->second.clear();
}

const std::string& InputNames::wrapper_input(const Context& ctx, const std::string& wrapper) {
    const auto [known, fresh] = wrapper_inputs_.try_emplace(lower(wrapper));
    if (fresh) {
        const auto text = ctx.platform.read_file(wrapper);
        if (text) known->second = lower(input_named_by_wrapper(*text));
    }
    return known->second;
}

void InputNames::wrote_wrapper(std::string_view path, std::string_view input) {
    wrapper_inputs_[lower(path)] = lower(input);
}

std::optional<std::string> InputNames::holder(Holders Held::*holders, const std::string& key) const {
    std::optional<std::string> found;
    for (const Held* held : {&listed_, &pending_}) {
        const auto it = (held->*holders).find(key);
        if (it == (held->*holders).end()) continue;
        if (found && *found != it->second) return std::string();
        found = it->second;
    }
    return found;
}

void InputNames::hold_job(const Context& ctx, Held& held, std::string_view input_field, std::string_view output,
                          const std::vector<std::string>& named_files) {
    const std::string& folder = ctx.program_folder;
    std::string input;
    std::vector<std::string> own_names;
    if (!input_field.empty()) {
        if (auto own = own_name_in(folder, folder::kWrappers, ".avs", input_field)) {
            own_names.push_back(std::move(*own));
            input = wrapper_input(ctx, std::string(input_field));
        } else {
            input = lower(input_field);
        }
    }
    for (const std::string& path : named_files) {
        if (auto own = own_name_in(folder, folder::kStatistics, ".stat", path)) own_names.push_back(std::move(*own));
        if (auto own = own_name_in(folder, folder::kLogs, ".txt", path)) own_names.push_back(std::move(*own));
    }
    // A script's own name is its file name unless its files say otherwise.
    if (own_names.empty() && !input_field.empty()) own_names.push_back(file_name(input_field));

    for (const std::string& own : own_names) hold(held.own_names, lower(own), input);
    if (!output.empty()) hold(held.outputs, lower(output), input);
    if (!input.empty()) held.inputs.insert(input);
}

void InputNames::follow_list(const Context& ctx) {
    const std::optional<std::uint64_t> changes = ctx.ui.item_changes(ctl::JobList);
    if (followed_ && changes && changes == followed_changes_) return;
    listed_ = Held{};
    // A change of the list is the action's jobs going in, or an edit after
    // it: the list tells from now on. A list that cannot tell its changes
    // keeps them held.
    if (followed_ && changes) pending_ = Held{};

    std::string input, output;
    std::vector<std::string> named;
    bool open = false;  // a job's lines are gathered
    const auto close_job = [&] {
        if (open) hold_job(ctx, listed_, input, output, named);
        input.clear();
        output.clear();
        named.clear();
        open = false;
    };
    for (const std::string& text : ctx.ui.items(ctl::JobList)) {
        const std::string_view line = enabled_form(text);
        if (is_job_start(line)) {
            close_job();
        } else if (line.starts_with(kInputHeader)) {
            if (!input.empty()) close_job();
            input = name_from_batch(line.substr(kInputHeader.size()));
            open = true;
        } else if (line.starts_with(kOutputHeader)) {
            if (!output.empty()) close_job();
            output = name_from_batch(line.substr(kOutputHeader.size()));
            open = true;
        } else if (is_job_end(line)) {
            close_job();
        } else {
            const std::size_t before = named.size();
            add_named_files(line, named);
            open = open || named.size() > before;
        }
    }
    close_job();
    followed_ = true;
    followed_changes_ = changes;
}

InputNames::Look InputNames::look(const Context& ctx, const std::string& input, const Candidate& own_name,
                                  const TakenOutside& name_taken, const Candidate& output) {
    follow_list(ctx);
    const std::string owner = lower(input);
    chosen_.insert(owner);
    look_input_ = owner;
    look_field_.clear();

    Look result;
    for (int k = 1;; ++k) {
        std::string name = own_name(k);
        const auto held = holder(&Held::own_names, lower(name));
        if (held ? *held == owner : !name_taken(name)) {
            result.own_name = std::move(name);
            break;
        }
    }
    // An output beside its input may have the input's own name (movie.mp4
    // chosen as input): the encode would overwrite the source it reads.
    for (int k = 1;; ++k) {
        std::string path = output(k);
        const std::string key = lower(path);
        const auto held = holder(&Held::outputs, key);
        if (held && *held != owner) continue;
        if (key == owner || listed_.inputs.count(key) > 0 || pending_.inputs.count(key) > 0) continue;
        result.output = std::move(path);
        break;
    }
    look_name_ = result.own_name;
    return result;
}

void InputNames::hold_for_job(const Context& ctx, std::string_view input_field, std::string_view output) {
    follow_list(ctx);
    const std::string field = lower(input_field);
    if (look_input_.empty() || field != look_field_) {
        // Not from the current look: held as the list will show it.
        hold_job(ctx, pending_, input_field, output, {});
        return;
    }
    hold(pending_.own_names, lower(look_name_), look_input_);
    if (!output.empty()) hold(pending_.outputs, lower(output), look_input_);
    pending_.inputs.insert(look_input_);
}

bool InputNames::is_job_input(const Context& ctx, std::string_view path) {
    follow_list(ctx);
    const std::string key = lower(path);
    return key == look_input_ || listed_.inputs.count(key) > 0 || pending_.inputs.count(key) > 0;
}

}  // namespace tav
