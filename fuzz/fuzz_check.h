#pragma once
// What every fuzz target shares: a check that stops the run with the failed
// condition, so that libFuzzer keeps the input that broke a promise of the
// code under test (a crash alone would miss a wrong answer).

#include <cstdio>
#include <cstdlib>

#define PST_FUZZ_CHECK(condition)                                                                \
    do {                                                                                         \
        if (!(condition)) {                                                                      \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);   \
            std::abort();                                                                        \
        }                                                                                        \
    } while (false)
