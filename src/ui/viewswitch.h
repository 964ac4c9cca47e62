#pragma once

#include <QPushButton>

namespace taskloom {

// One of the switches above the schedule area ("Schedule", "Timeline"): a
// checkable push button, a class of its own so that screen readers hear it
// as a button that is pressed or not, not as a check box (see
// AccessibleControls).
class ViewSwitch : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;
};

} // namespace taskloom
