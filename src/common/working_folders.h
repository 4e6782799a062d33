// The folders the program keeps below its own folder, created at every
// start in this order. Paths below them are the program folder, the
// folder's name, '\' and the file's name.
#pragma once

#include <string_view>

namespace tav::folder {

inline constexpr std::string_view kWrappers = "avs";      // AviSynth wrappers of chosen inputs
inline constexpr std::string_view kStatistics = "stats";  // statistics files, by default
inline constexpr std::string_view kPresets = "configs";   // presets: <name>.ini
inline constexpr std::string_view kLogs = "log";          // log files, by default
inline constexpr std::string_view kTemplates = "avsinc";  // AviSynth include templates: <name>.avs

inline constexpr std::string_view kCreationOrder[] = {kWrappers, kStatistics, kPresets, kLogs, kTemplates};

// The templates' folder as the template list names it when it lists the
// folder: the same folder, letter case aside.
inline constexpr std::string_view kTemplatesListed = "AVSinc";

}  // namespace tav::folder
