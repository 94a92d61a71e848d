#!/usr/bin/env bash
# Release build of the benchmarks; runs each and prints its ratios
# (reference time / our time: 1.0 is as fast as the reference, more is faster).
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${BUILD_DIR:-$ROOT/build/bench}"

"$ROOT/scripts/install-deps.sh"

cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DENGINE_SANITIZE=OFF -DENGINE_TESTS=OFF -DENGINE_BENCH=ON
cmake --build "$BUILD" --parallel "$(nproc)"

for bench in "$BUILD"/bench/bench_*; do
  [ -x "$bench" ] || continue
  echo "== $(basename "$bench")"
  "$bench" "$@"
done
