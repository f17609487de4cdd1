#pragma once

#include "support/DocumentChecks.h"

#include <cstdio>
#include <cstdlib>

namespace fuzz {

// Stops the process so that the fuzzer (or the replay test) records the input.
[[noreturn]] inline void fail(const char *what)
{
    std::fprintf(stderr, "broken invariant: %s\n", what);
    std::abort();
}

inline void require(bool condition, const char *what)
{
    if (!condition)
        fail(what);
}

inline void checkDocument(const codec::RichDocument &document)
{
    if (const char *fault = support::DocumentFault(document))
        fail(fault);
}

}   // namespace fuzz
