// How long a text the window's controls are given may be.
#pragma once

#include <cstddef>

namespace tav {

// The most an edit field of the window holds, and so the longest text a
// user can ever type. Texts the program reads from files are held to it: a
// longer one has not come from the window, and putting one into a control
// can keep the window busy for minutes.
inline constexpr std::size_t kMaxControlText = 32767;

}  // namespace tav
