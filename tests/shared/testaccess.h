#pragma once

// Test-only reach into a control's implementation object.

#include "VYRQImplAccess_p.h"

namespace vyrtest {
template <class Control>
auto* impl(Control* control)
{
    return VYRQImplAccess::of(control);
}
template <class Control>
auto* impl(Control& control)
{
    return VYRQImplAccess::of(control);
}
} // namespace vyrtest
