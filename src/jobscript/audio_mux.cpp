// PLACEHOLDER (being replaced by the jobscript helper).
#include "jobscript/audio_mux.h"
namespace tav {
void write_audio_commands(const ControlSurface&, int, std::vector<std::string>&) {}
void write_mux_commands(const ControlSurface&, const std::string&, std::vector<std::string>&) {}
}  // namespace tav
