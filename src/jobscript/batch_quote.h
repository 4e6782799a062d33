// A file or folder name as a batch line quotes it.
#pragma once

#include <string>
#include <string_view>

#include "common/paths.h"

namespace tav {

// In double quotes, so blanks and '&' stay part of the name, with every '%'
// doubled, so the command interpreter expands nothing in it.
inline std::string quoted_for_batch(std::string_view path) { return "\"" + batch_name(path) + "\""; }

}  // namespace tav
