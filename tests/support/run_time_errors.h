// The run-time error a piece of code raises, for tests of the form run-time and its controls.
#pragma once

#include <functional>

#include "platform/vb/Error.h"

namespace testing_support {

// The number of the run-time error f raises; 0 when it raises none.
inline int ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const vb::RuntimeError& e) {
        return e.Number();
    }
    return 0;
}

}  // namespace testing_support
