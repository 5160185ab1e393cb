#pragma once

#include <cstdio>
#include <cstdlib>

// A promise of the code under fuzzing that an input broke: a finding, ended as a crash is.
inline void Require(bool condition, const char* promise) {
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", promise);
        std::abort();
    }
}
