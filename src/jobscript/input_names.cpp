#include "jobscript/input_names.h"

#include "common/text_rules.h"

namespace tav {

std::string InputNames::lower(std::string_view text) { return lower_cased(text); }

const std::string* InputNames::holder(const std::unordered_map<std::string, std::string>& held,
                                      const std::string& name) {
    const auto it = held.find(lower(name));
    return it == held.end() ? nullptr : &it->second;
}

InputNames::Look InputNames::look(const std::string& input, const Candidate& own_name,
                                  const TakenOutside& name_taken, const Candidate& output) {
    const std::string owner = lower(input);
    chosen_.insert(owner);
    look_input_ = owner;
    look_field_.clear();

    Look result;
    for (int k = 1;; ++k) {
        std::string name = own_name(k);
        const std::string* held_by = holder(file_name_owner_, name);
        if (held_by ? *held_by == owner : !name_taken(name)) {
            result.own_name = std::move(name);
            break;
        }
    }
    // An output beside its input may have the input's own name (movie.mp4
    // chosen as input): the encode would overwrite the source it reads.
    for (int k = 1;; ++k) {
        std::string path = output(k);
        const std::string key = lower(path);
        const std::string* held_by = holder(output_owner_, path);
        if (held_by && *held_by != owner) continue;
        if (key == owner || job_inputs_.count(key) > 0) continue;
        result.output = std::move(path);
        break;
    }
    look_name_ = result.own_name;
    return result;
}

void InputNames::hold_for_job(std::string_view input_field, std::string_view output) {
    const std::string field = lower(input_field);
    std::string owner = field;
    if (!look_input_.empty() && field == look_field_) {
        owner = look_input_;
        file_name_owner_.try_emplace(lower(look_name_), owner);
    }
    if (!output.empty()) output_owner_.try_emplace(lower(output), owner);
    job_inputs_.insert(std::move(owner));
}

bool InputNames::is_job_input(std::string_view path) const {
    const std::string key = lower(path);
    return key == look_input_ || job_inputs_.count(key) > 0;
}

}  // namespace tav
