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
configure() {
  cmake -S "$ROOT" -B "$1" -G Ninja \
    -DCMAKE_BUILD_TYPE=Debug \
    -DENGINE_SANITIZE=ON -DENGINE_TESTS=ON -DENGINE_WERROR=ON "${@:2}"
}
configure "$BUILD" -DENGINE_SCALAR=OFF
cmake --build "$BUILD" --parallel "$JOBS"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"
# The tests never open a real audio device or display unless they start one.
export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"
export SDL_VIDEODRIVER="${SDL_VIDEODRIVER:-dummy}"
ctest --test-dir "$BUILD" --output-on-failure --parallel "$JOBS" --timeout 600

# The 3D renderer's tests and corpora once more with ENGINE_SCALAR, drawn by
# the scalar code a processor without its vector units takes, which the
# build above does not compile. Only the renderer's targets are built.
SCALAR_BUILD="${SCALAR_BUILD_DIR:-$BUILD-scalar}"
configure "$SCALAR_BUILD" -DENGINE_SCALAR=ON
cmake --build "$SCALAR_BUILD" --parallel "$JOBS" --target mgl_checks
ctest --test-dir "$SCALAR_BUILD" --label-regex '^mgl$' --output-on-failure --parallel "$JOBS" --timeout 600

# The scalar code leaves what the vector units' routines and the one-pixel
# routines leave, on every input of mgl_differential's corpus: no one build
# has both.
SCALAR_OUTCOMES="$SCALAR_BUILD/fuzz/mgl_differential.outcomes"
for outcomes in "$BUILD/fuzz/mgl_differential.outcomes" "$BUILD/fuzz/mgl_differential_one_pixel.outcomes" \
  "$SCALAR_OUTCOMES"; do
  if [[ ! -s "$outcomes" ]]; then
    echo "no outcomes written to $outcomes" >&2
    exit 1
  fi
done
for outcomes in "$BUILD/fuzz/mgl_differential.outcomes" "$BUILD/fuzz/mgl_differential_one_pixel.outcomes"; do
  diff <(sort "$outcomes") <(sort "$SCALAR_OUTCOMES")
done

# The project as an IDE or a packager builds it: the default generator and
# options, no build type, no sanitizers. Only the host-operations check is
# built and run there: it is the one target that sets its own options, and
# so the one a default build has broken before.
PLAIN_BUILD="${PLAIN_BUILD_DIR:-$BUILD-plain}"
cmake -S "$ROOT" -B "$PLAIN_BUILD"
cmake --build "$PLAIN_BUILD" --parallel "$JOBS" --target mgl_host_operations_check
ctest --test-dir "$PLAIN_BUILD" --tests-regex '^mgl_host_operations$' --output-on-failure --timeout 600
