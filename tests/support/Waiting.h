// Waiting for a condition another thread or process brings about.
#pragma once

#include <windows.h>

#include <chrono>

namespace test_support {

// Whether `done` comes true within `limit`, asked every 20 ms.
template <typename Done> bool WaitFor(Done done, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (done()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        ::Sleep(20);
    }
}

} // namespace test_support
