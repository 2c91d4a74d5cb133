#pragma once

// Shared by the harnesses: a broken property stops the run loudly, so libFuzzer keeps the input.

#include <cstdio>
#include <cstdlib>

#define FUZZ_REQUIRE(condition)                                                                              \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition);            \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (false)
