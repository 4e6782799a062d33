// The media length query of the Windows build: a DirectShow filter graph
// built for the file (never run) tells its frame count and whole frame rate.
#pragma once

#include <optional>
#include <string>

#include "model/platform.h"

namespace tav {

// Needs COM initialised on the calling thread.
std::optional<MediaLength> directshow_media_length(const std::string& path);

}  // namespace tav
