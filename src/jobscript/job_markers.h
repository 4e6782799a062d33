// How the job list marks its jobs. Job boundaries are told by a line's
// first characters; a marker with anything in front of it (a disabled
// "@rem @echo.") is no marker.
#pragma once

#include <string_view>

namespace tav {

inline constexpr std::string_view kJobStartMarker = "@echo.";
inline constexpr std::string_view kJobEndMarker = "@echo+";
// A disabled line is a batch comment.
inline constexpr std::string_view kDisabledPrefix = "@rem ";

inline bool is_job_start(std::string_view line) { return line.starts_with(kJobStartMarker); }
inline bool is_job_end(std::string_view line) { return line.starts_with(kJobEndMarker); }

// One past the end marker that closes the job whose first line is `first`,
// or `count` when none follows (its end marker was edited or disabled).
// `line_at(i)` gives line i of a list of `count` lines.
template <class Index, class LineAt>
Index job_end(Index first, Index count, LineAt line_at) {
    Index next = first + 1;
    while (next < count && !is_job_end(line_at(next))) ++next;
    return next < count ? next + 1 : count;
}

}  // namespace tav
