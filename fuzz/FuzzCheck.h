#ifndef FUZZCHECK_H
#define FUZZCHECK_H

#include <cstdlib>

// A property every fuzz input must keep; a broken one stops the run so the
// fuzzer records the input.
inline void Check(bool condition) {
    if (!condition) std::abort();
}

#endif
