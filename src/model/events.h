// What the front end reports about a control. Front ends translate their own
// notifications into these; the dispatch table decides which handler runs.
#pragma once

namespace tav {

enum class Trigger {
    Click,        // button pressed, check box toggled
    Change,       // the user changed an edit's (or editable combo's) text
    SelChange,    // the user picked another item of a combo or list
    FocusGained,
    FocusLost,
    Scroll,       // the user moved a track bar
    DoubleClick,
};

struct ControlEvent {
    int id;
    Trigger trigger;
};

}  // namespace tav
