#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given number
# of seconds (default 60), starting from its seed corpus, then prints per
# target the executions run, the executions per second, the corpus at the end
# and what the run found.
#   scripts/fuzz.sh [seconds] [target...]
# Environment:
#   BUILD_DIR       build directory (default build/fuzz)
#   FUZZ_PARALLEL   targets run at once (default 1)
#   BUILD_JOBS      compile jobs (default: every core)
# On a shared machine run it as `nice -n 10 scripts/fuzz.sh ...`.
# Each target's new inputs go to <build>/fuzz/corpus-<target>/, its log to
# <build>/fuzz/logs/<target>.log and a crashing input to
# <build>/fuzz/findings-<target>/. A target that needs more than libFuzzer's
# defaults (longer inputs than its longest seed) keeps its own flags, one a
# line, in fuzz/<target>.options.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${BUILD_DIR:-$ROOT/build/fuzz}"
SECONDS_PER_TARGET="${1:-60}"
shift || true
PARALLEL="${FUZZ_PARALLEL:-1}"

"$ROOT/scripts/install-deps.sh"

cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link" -DCMAKE_C_FLAGS="-fsanitize=fuzzer-no-link" \
  -DENGINE_SANITIZE=ON -DENGINE_TESTS=ON -DENGINE_FUZZ=ON
cmake --build "$BUILD" --parallel "${BUILD_JOBS:-$(nproc)}" --target fuzzers

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for fuzzer in "$BUILD"/fuzz/*_fuzzer; do
    [ -x "$fuzzer" ] && targets+=("$(basename "$fuzzer" _fuzzer)")
  done
fi

LOGS="$BUILD/fuzz/logs"
mkdir -p "$LOGS"

# Runs one target; its exit status goes to <log>.status.
run_target() {
  local target="$1"
  local corpus="$BUILD/fuzz/corpus-$target"
  local findings="$BUILD/fuzz/findings-$target"
  local log="$LOGS/$target.log"
  mkdir -p "$corpus" "$findings"
  local seeds=()
  [ -d "$ROOT/fuzz/corpus/$target" ] && seeds=("$ROOT/fuzz/corpus/$target")
  local options=()
  [ -f "$ROOT/fuzz/$target.options" ] && mapfile -t options < <(grep -v '^[[:space:]]*\(#\|$\)' "$ROOT/fuzz/$target.options")
  local status=0
  "$BUILD/fuzz/${target}_fuzzer" -max_total_time="$SECONDS_PER_TARGET" -print_final_stats=1 \
    -artifact_prefix="$findings/" "${options[@]}" "$corpus" "${seeds[@]}" >"$log" 2>&1 || status=$?
  echo "$status" >"$log.status"
}

# The value of one of libFuzzer's final statistics, e.g. average_exec_per_sec.
final_stat() {
  sed -n "s/^stat::$1: *//p" "$2" | tail -n 1
}

# The in-memory corpus of the last status line, e.g. "312/45Kb".
last_corpus() {
  grep -o 'corp: [0-9]*/[0-9]*[a-zA-Z]*' "$1" | tail -n 1 | cut -d' ' -f2
}

# "ok", or the kind of fault found and the input that shows it.
finding() {
  local target="$1" log="$2"
  if [ "$(cat "$log.status")" = 0 ]; then
    echo ok
    return
  fi
  local kind input
  kind="$(sed -n 's/^SUMMARY: //p' "$log" | head -n 1 | cut -c1-100)"
  input="$(ls "$BUILD/fuzz/findings-$target" 2>/dev/null | head -n 1)"
  echo "FOUND ${kind:-exit $(cat "$log.status")} ${input:+(findings-$target/$input)}"
}

for target in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$PARALLEL" ]; do wait -n || true; done
  echo "== $target for ${SECONDS_PER_TARGET}s (log: $LOGS/$target.log)"
  run_target "$target" &
done
wait

echo
printf '%-22s %12s %9s %14s  %s\n' target executions exec/s corpus result
failed=0
for target in "${targets[@]}"; do
  log="$LOGS/$target.log"
  result="$(finding "$target" "$log")"
  [ "$result" = ok ] || failed=1
  printf '%-22s %12s %9s %14s  %s\n' "$target" "$(final_stat number_of_executed_units "$log")" \
    "$(final_stat average_exec_per_sec "$log")" "$(last_corpus "$log")" "$result"
done
exit "$failed"
