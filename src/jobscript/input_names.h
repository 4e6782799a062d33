// The names handed out to inputs while the window is open: the file name
// their wrapper, statistics and log files share, and the output path.
// A name belongs to an input once a job was added with it; choosing an
// input only looks at what is free, so an input replaced before "Add"
// holds nothing. Names are compared as Windows compares file names,
// without regard to letter case.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace tav {

class InputNames {
public:
    // The k-th candidate name (k = 1, 2, 3, ...).
    using Candidate = std::function<std::string(int k)>;
    // True when a name no job of this run holds is still taken outside it.
    using TakenOutside = std::function<bool(const std::string& name)>;

    // A look at `input`: the first file name and the first output path
    // among the candidates that no job of another input holds (the output
    // is neither the input itself nor another job's input). Remembered as
    // the current look until the next one.
    struct Look {
        std::string own_name;
        std::string output;
    };
    Look look(const std::string& input, const Candidate& own_name, const TakenOutside& name_taken,
              const Candidate& output);
    // What the current look made of the input field (the wrapper or the
    // input itself).
    void set_look_field(std::string_view input_field) { look_field_ = lower(input_field); }

    // A job was added reading `input_field` and writing `output`: from now
    // on its names are its input's.
    void hold_for_job(std::string_view input_field, std::string_view output);

    // True for the input of the current look and the inputs of added jobs.
    bool is_job_input(std::string_view path) const;
    // True for an input looked at during this run.
    bool was_chosen(std::string_view path) const { return chosen_.count(lower(path)) > 0; }

private:
    static std::string lower(std::string_view text);
    // Owner of a held name, or nullptr.
    static const std::string* holder(const std::unordered_map<std::string, std::string>& held,
                                     const std::string& name);

    std::unordered_map<std::string, std::string> file_name_owner_;  // lower-cased name -> input
    std::unordered_map<std::string, std::string> output_owner_;     // lower-cased path -> input
    std::unordered_set<std::string> job_inputs_;
    std::unordered_set<std::string> chosen_;
    // The current look, until a job takes it or another look replaces it.
    std::string look_input_;
    std::string look_field_;
    std::string look_name_;
};

}  // namespace tav
