#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given number
# of seconds (default 60), starting from its seed corpus.
#   scripts/fuzz.sh [seconds] [target...]
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${BUILD_DIR:-$ROOT/build/fuzz}"
SECONDS_PER_TARGET="${1:-60}"
shift || true

"$ROOT/scripts/install-deps.sh"

cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link" -DCMAKE_C_FLAGS="-fsanitize=fuzzer-no-link" \
  -DENGINE_SANITIZE=ON -DENGINE_TESTS=ON -DENGINE_FUZZ=ON
cmake --build "$BUILD" --parallel "$(nproc)"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for fuzzer in "$BUILD"/fuzz/*_fuzzer; do
    [ -x "$fuzzer" ] && targets+=("$(basename "$fuzzer" _fuzzer)")
  done
fi

for target in "${targets[@]}"; do
  corpus="$BUILD/fuzz/corpus-$target"
  mkdir -p "$corpus"
  echo "== $target for ${SECONDS_PER_TARGET}s"
  "$BUILD/fuzz/${target}_fuzzer" -max_total_time="$SECONDS_PER_TARGET" \
    "$corpus" "$ROOT/fuzz/corpus/$target"
done
