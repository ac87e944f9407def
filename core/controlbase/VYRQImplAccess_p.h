#pragma once

// The one way past a control's protected impl(): for library code that works on another
// control's state (a delegate painting a label, a group reading its bar's styles).
// Not installed.
struct VYRQImplAccess {
    template <class Control>
    static auto* of(Control* control)
    {
        return control ? control->impl() : nullptr;
    }
    template <class Control>
    static auto* of(Control& control)
    {
        return control.impl();
    }
};
