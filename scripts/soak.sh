#!/usr/bin/env bash
# A long seeded random-input run of the game, headless, through the menus and
# the levels: FRAMES frames in chunks, each chunk one run of the program on
# an input script made by soak-input.awk from the seed and the chunk's
# number, all sharing one data folder (the records carry over). The cheat
# sequences stay off (the product setting is forced to false).
#
# Before each chunk the progress record is set to the chunk's number modulo
# 9 (the highest level reached), so that the level list offers more levels.
# Reports per chunk: frames presented, exit status, sanitizer findings
# (AddressSanitizer, LeakSanitizer, UndefinedBehaviorSanitizer), peak
# resident memory, and the highest level (1 to 9) the progress record holds
# at the chunk's end (0: none, after a reset of the progress); then the
# totals. Exit status 0 when no chunk crashed or reported a finding.
#
#   scripts/soak.sh [--build DIR] [--frames N] [--chunk N] [--seed S]
#                   [--time-limit SECONDS] [--out DIR]
#
# --build      a build folder holding game/mchvx2 and its data (default
#              build/test, the sanitizer build; a release build works too)
# --frames     frames in all (default 1000000; a frame is 40 ms of game time)
# --chunk      frames per run of the program (default 25000)
# --seed       the seed of the whole soak (default 1)
# --time-limit no chunk starts after this many seconds (default 3600); a
#              chunk itself is stopped after the same time
# --out        where the chunks' scripts and logs stay (default a new
#              temporary folder, kept when something was found)
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build/test"
FRAMES=1000000
CHUNK=25000
SEED=1
TIME_LIMIT=3600
OUT=""

usage() {
  sed -n '2,/^set -euo/p' "${BASH_SOURCE[0]}" | sed '$d' | sed 's/^# \{0,1\}//'
  exit 2
}

while [ $# -gt 0 ]; do
  case "$1" in
    --build) BUILD="$2"; shift 2 ;;
    --frames) FRAMES="$2"; shift 2 ;;
    --chunk) CHUNK="$2"; shift 2 ;;
    --seed) SEED="$2"; shift 2 ;;
    --time-limit) TIME_LIMIT="$2"; shift 2 ;;
    --out) OUT="$2"; shift 2 ;;
    *) usage ;;
  esac
done

for number in "$FRAMES" "$CHUNK" "$SEED" "$TIME_LIMIT"; do
  case "$number" in '' | *[!0-9]*) echo "soak: '$number' is not a whole number" >&2; exit 2 ;; esac
done
[ "$CHUNK" -gt 0 ] && [ "$FRAMES" -gt 0 ] || { echo "soak: --frames and --chunk must be above 0" >&2; exit 2; }

GAME="$BUILD/game/mchvx2"
[ -x "$GAME" ] || { echo "soak: $GAME is missing; build the target mchvx2 in $BUILD first" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "soak: /usr/bin/time is needed for the peak memory" >&2; exit 1; }

KEEP_OUT=1
if [ -z "$OUT" ]; then
  OUT="$(mktemp -d "${TMPDIR:-/tmp}/mchvx2-soak.XXXXXX")"
  KEEP_OUT=0
fi
mkdir -p "$OUT/data" "$OUT/shots"
for file in mchvx2.big properties.dat device.conf softkey.conf; do
  cp "$BUILD/game/$file" "$OUT/data/$file"
done
# The soak plays as a player would: no cheat sequences.
sed -i 's/^Kiv-Cheats-Enable=.*/Kiv-Cheats-Enable=false/' "$OUT/data/properties.dat"

# The sanitizers stop at the first finding and check for leaks at the end.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export SDL_AUDIODRIVER=dummy SDL_VIDEODRIVER=dummy

# The highest level reached (1 to 9) from the progress record, 0 without one.
highest_level() {
  local record="$OUT/data/mchvx2_save1.dat"
  [ -s "$record" ] || { echo 0; return; }
  echo $(( $(od -An -tu4 -N4 --endian=little "$record" | tr -d ' ') + 1 ))
}

# The number of the last frame presented, from its screenshot's name.
frames_presented() {
  local last
  last="$(ls "$OUT/shots" | sort | tail -n 1)"
  [ -n "$last" ] || { echo 0; return; }
  last="${last#frame-}"
  echo $((10#${last%.png}))
}

echo "soak: $GAME, $FRAMES frames in chunks of $CHUNK, seed $SEED, time limit ${TIME_LIMIT}s, output in $OUT"
printf '%6s %9s %9s %6s %10s %6s %8s  %s\n' chunk frames total status peak_kb level seconds findings

started=$SECONDS
total=0
chunk=0
crashes=0
findings=0
peak_kb=0
while [ "$total" -lt "$FRAMES" ]; do
  elapsed=$((SECONDS - started))
  if [ "$elapsed" -ge "$TIME_LIMIT" ]; then
    echo "soak: the time limit of ${TIME_LIMIT}s ended the soak"
    break
  fi
  chunk=$((chunk + 1))
  want=$((FRAMES - total < CHUNK ? FRAMES - total : CHUNK))
  script="$OUT/chunk-$chunk.txt"
  log="$OUT/chunk-$chunk.log"
  awk -v SEED=$((SEED * 100003 + chunk)) -v FRAMES="$want" -f "$ROOT/scripts/soak-input.awk" > "$script"
  # Each chunk finds another level reached, so that "Play" opens the level
  # list up to it and the chunks' random choices spread over all nine.
  printf "$(printf '\\%03o' $((chunk % 9)))\000\000\000" > "$OUT/data/mchvx2_save1.dat"
  rm -f "$OUT/shots"/*
  chunk_start=$SECONDS
  status=0
  /usr/bin/time -f '%M' -o "$OUT/chunk-$chunk.rss" \
    timeout "$TIME_LIMIT" "$GAME" --backend headless --script "$script" --frames "$want" \
    --screenshot "$OUT/shots" --data-dir "$OUT/data" > "$log" 2>&1 || status=$?
  ran="$(frames_presented)"
  total=$((total + ran))
  rss="$(tail -n 1 "$OUT/chunk-$chunk.rss" | tr -cd '0-9')"
  rss="${rss:-0}"
  [ "$rss" -gt "$peak_kb" ] && peak_kb=$rss
  found="$(grep -E -c 'ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:' "$log" || true)"
  [ "$status" -ne 0 ] && crashes=$((crashes + 1))
  findings=$((findings + found))
  note="-"
  [ "$found" -gt 0 ] && note="$(grep -E -m 1 'ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:' "$log")"
  [ "$status" -ne 0 ] && [ "$found" -eq 0 ] && note="exit $status: $(tail -n 1 "$log")"
  printf '%6d %9d %9d %6d %10d %6d %8d  %s\n' "$chunk" "$ran" "$total" "$status" "$rss" \
    "$(highest_level)" $((SECONDS - chunk_start)) "$note"
  # A chunk that presented nothing would loop for ever.
  if [ "$ran" -eq 0 ]; then
    echo "soak: chunk $chunk presented no frame; stopped"
    crashes=$((crashes + 1))
    break
  fi
done

echo "soak: $total frames in $chunk runs, $((SECONDS - started))s; crashes $crashes, sanitizer findings $findings," \
  "peak resident ${peak_kb} kB, highest level reached $(highest_level)"
if [ "$crashes" -eq 0 ] && [ "$findings" -eq 0 ]; then
  [ "$KEEP_OUT" -eq 1 ] || rm -rf "$OUT"
  exit 0
fi
echo "soak: the scripts and logs stay in $OUT"
exit 1
