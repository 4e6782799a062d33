#include "model/control_surface.h"

namespace tav {

std::vector<std::string> ControlSurface::items(int id) const {
    std::vector<std::string> out;
    const int n = item_count(id);
    out.reserve(n > 0 ? static_cast<size_t>(n) : 0);
    for (int i = 0; i < n; ++i) out.push_back(item_text(id, i));
    return out;
}

void ControlSurface::append_items(int id, const std::vector<std::string>& texts) {
    for (const auto& t : texts) insert_item(id, -1, t);
}

}  // namespace tav
