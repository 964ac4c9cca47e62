#pragma once

namespace taskloom {

// What screen readers hear of the controls Qt would announce as the wrong
// kind: a LinkLabel ("Tips", "Settings") is a link, not a label, and a
// ViewSwitch a push button that is pressed or not, not a check box. Qt 6.4's
// own interfaces know no better, and its bridge has no toggle-button role.
class AccessibleControls {
public:
    // Puts these interfaces before Qt's own; installing them again changes nothing.
    static void install();
};

} // namespace taskloom
