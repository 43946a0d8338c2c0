#pragma once

// A warning on purpose: the local `value` shadows the parameter (-Wshadow).
// Builds that treat warnings as errors must refuse it; CI also forces it into
// the run build, which must only warn.
inline int shadow_warning_canary(int value) {
    int result = value;
    {
        const int value = result + 1;
        result = value;
    }
    return result;
}
