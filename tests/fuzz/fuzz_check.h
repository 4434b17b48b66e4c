#pragma once

#include <cstdio>
#include <cstdlib>

namespace studlab::fuzz {

// A property that does not hold: the fuzzer keeps the input that broke it.
[[noreturn]] inline void Broken(const char* what) {
    std::fprintf(stderr, "property broken: %s\n", what);
    std::abort();
}

inline void Check(bool holds, const char* what) {
    if (!holds) Broken(what);
}

}  // namespace studlab::fuzz
