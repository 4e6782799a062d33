// PLACEHOLDER (being replaced by the jobscript helper).
#include "jobscript/input_prep.h"
namespace tav {
void prepare_input(Context&, const std::string&) {}
}  // namespace tav
