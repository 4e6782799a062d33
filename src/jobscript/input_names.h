// The names the jobs hold and the names handed out to a chosen input: the
// file name an input's wrapper, statistics and log files share (its own
// name), and its output path.
//
// What the jobs hold is read from the job list itself: each job's
// "@echo Input:" and "@echo Output:" lines, its statistics file and its log
// pipe, whether the job was added in this run, put back after a crash or
// typed with "edit". A wrapper names the input it reads in its first line.
// A name belongs to an input once a job with it is in the list; choosing an
// input only looks at what is free, so an input replaced before "Add" holds
// nothing. Names are compared as Windows compares file names, without
// regard to letter case.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "model/context.h"

namespace tav {

class InputNames {
public:
    // The k-th candidate name (k = 1, 2, 3, ...).
    using Candidate = std::function<std::string(int k)>;
    // True when a name no job holds is still taken outside the list (a
    // wrapper of another input left by an earlier run).
    using TakenOutside = std::function<bool(const std::string& name)>;

    // A look at `input`: the first own name and the first output path
    // among the candidates that no job of another input holds (the output
    // is neither the input itself nor another job's input). Remembered as
    // the current look until the next one.
    struct Look {
        std::string own_name;
        std::string output;
    };
    Look look(const Context& ctx, const std::string& input, const Candidate& own_name, const TakenOutside& name_taken,
              const Candidate& output);
    // What the current look made of the input field (the wrapper or the
    // input itself).
    void set_look_field(std::string_view input_field) { look_field_ = lower(input_field); }
    // The wrapper at `path` was written for `input`.
    void wrote_wrapper(std::string_view path, std::string_view input);

    // A job reading `input_field` and writing `output` was built and goes
    // into the list at the end of the action: its names are held from now on.
    void hold_for_job(const Context& ctx, std::string_view input_field, std::string_view output);

    // True for the input of the current look and the inputs of the jobs.
    bool is_job_input(const Context& ctx, std::string_view path);
    // True for an input looked at during this run.
    bool was_chosen(std::string_view path) const { return chosen_.count(lower(path)) > 0; }

private:
    // Who holds a name: the lower-cased input of its jobs, or the empty
    // text when jobs of several inputs (or of an unknown one) hold it.
    using Holders = std::unordered_map<std::string, std::string>;
    struct Held {
        Holders own_names;  // lower-cased own name -> holder
        Holders outputs;    // lower-cased output path -> holder
        std::unordered_set<std::string> inputs;
    };

    static std::string lower(std::string_view text);
    static void hold(Holders& holders, std::string key, const std::string& input);
    // Brings what the list's jobs hold up to the job list as it stands.
    void follow_list(const Context& ctx);
    // Holds the names of one job in `held`, given its header and the paths
    // its lines name.
    void hold_job(const Context& ctx, Held& held, std::string_view input_field, std::string_view output,
                  const std::vector<std::string>& named_files);
    // The holder of `key` in the list's jobs and this action's: nullopt
    // when nobody holds it.
    std::optional<std::string> holder(Holders Held::*holders, const std::string& key) const;
    // The lower-cased input a wrapper of the program names; empty when it
    // cannot be read.
    const std::string& wrapper_input(const Context& ctx, const std::string& wrapper);

    Held listed_;   // what the jobs in the list hold
    Held pending_;  // jobs of this action, not in the list yet
    // The job list's changes `listed_` follows.
    std::optional<std::uint64_t> followed_changes_;
    bool followed_ = false;
    std::unordered_map<std::string, std::string> wrapper_inputs_;  // lower-cased path -> input
    std::unordered_set<std::string> chosen_;
    // The current look, until a job takes it or another look replaces it.
    std::string look_input_;
    std::string look_field_;
    std::string look_name_;
};

}  // namespace tav
