// Which options the encoder that the batch would run takes. The batch
// changes into the program folder and calls x264.exe there, so that
// encoder is the x264.exe in the program folder, or else the first one on
// the search path. It is asked for its option list ("--fullhelp"; an older
// build only knows "--longhelp") on a thread beside the window; the answer
// is kept per encoder file and asked again when the file is replaced
// (another size or time) or appears.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "encoder/option_list.h"
#include "model/platform.h"

namespace tav {

struct EncoderFile {
    std::string path;
    FileStamp stamp;
};

// What one encoder file said it takes.
struct EncoderAnswer {
    EncoderFile file;
    OptionList options;
};

// Where the batch finds x264.exe: the program folder first, then the
// entries of the search path in order (relative ones taken against the
// program folder, where the batch runs). nullopt when there is none.
std::optional<EncoderFile> find_encoder(Platform& platform, const std::string& program_folder);

class EncoderProbe {
public:
    // How long the encoder may take to answer before it is ended.
    static constexpr std::chrono::milliseconds kAnswerLimit{5000};

    EncoderProbe();
    // Ends a question still running, and whatever it started.
    ~EncoderProbe();
    EncoderProbe(EncoderProbe&&) noexcept;
    EncoderProbe& operator=(EncoderProbe&&) noexcept;

    // Has a thread beside the window find the encoder and, when there is no
    // answer for that file as it is now, ask it. Waits at most `patience`
    // for that look to finish. `platform` must outlive the probe.
    void look(Platform& platform, const std::string& program_folder,
              std::chrono::milliseconds patience = std::chrono::milliseconds{0});

    // What is known of the encoder the last finished search found. Until a
    // look's search has finished, the one before counts.
    struct Status {
        std::optional<EncoderFile> encoder;  // none found
        // Its option list; null when it has not answered yet (still asked,
        // or no answer in time) or its answer was no x264 option list.
        std::shared_ptr<const EncoderAnswer> answer;
        bool answered = false;  // it ran to its end when asked
    };
    Status status() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace tav
