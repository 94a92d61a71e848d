#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs every test. Exits non-zero on any failure.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${BUILD_DIR:-$ROOT/build/test}"
JOBS="$(nproc)"

"$ROOT/scripts/install-deps.sh"

# Unoptimised: the sanitizer build compiles several times faster that way, and
# the tests take seconds either way.
cmake -S "$ROOT" -B "$BUILD" -G Ninja \
  -DCMAKE_BUILD_TYPE=Debug \
  -DENGINE_SANITIZE=ON -DENGINE_TESTS=ON
cmake --build "$BUILD" --parallel "$JOBS"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"
# The tests never open a real audio device or display unless they start one.
export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"
export SDL_VIDEODRIVER="${SDL_VIDEODRIVER:-dummy}"
ctest --test-dir "$BUILD" --output-on-failure --parallel "$JOBS" --timeout 600
