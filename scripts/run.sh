#!/usr/bin/env bash
# Installs what is missing, makes a release build of the game with its
# content and runs it, passing every argument on (see `run.sh --help`).
# The build's progress goes to standard error; the game's exit status is the
# script's.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${BUILD_DIR:-$ROOT/build/release}"

"$ROOT/scripts/install-deps.sh" >&2

cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DENGINE_SANITIZE=OFF -DENGINE_TESTS=OFF >&2
cmake --build "$BUILD" --parallel "$(nproc)" --target mchvx2 >&2

exec "$BUILD/game/mchvx2" "$@"
