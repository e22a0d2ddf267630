#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ (clang, AddressSanitizer + UBSan) in
# build/fuzz and runs them.
#
#   scripts/fuzz.sh check                  every target a fixed number of runs
#                                          over its seed corpus (the test command)
#   scripts/fuzz.sh run [SECONDS] [TARGET...]
#                                          fuzz longer (default 600 s a target);
#                                          new inputs collect in build/fuzz/corpus,
#                                          crashes in build/fuzz/findings
set -euo pipefail
cd "$(dirname "$0")/.."

mode=${1:-check}
targets=(fuzz_zqf3 fuzz_musicxml fuzz_track_score fuzz_track_part fuzz_settings fuzz_midi_import
  fuzz_round_trip)
# Every target stays within this memory; a single allocation beyond the
# smaller limit is a finding too.
limits=(-rss_limit_mb=1024 -malloc_limit_mb=512 -timeout=10)

seeds_of() {
  case $1 in
    fuzz_zqf3 | fuzz_round_trip) echo fuzz/corpus/zqf3 ;;
    fuzz_track_*) echo fuzz/corpus/track ;;
    fuzz_musicxml) echo fuzz/corpus/musicxml ;;
    fuzz_settings) echo fuzz/corpus/settings ;;
    fuzz_midi_import) echo fuzz/corpus/midi ;;
  esac
}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

case $mode in
  check)
    # The committed seeds stay as they are: libFuzzer adds to its first folder.
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    for t in "${targets[@]}"; do
      mkdir -p "$work/$t"
      # About 30 s for all on one free core: the round trip draws pages.
      case $t in
        fuzz_settings) runs=5000 ;;
        fuzz_round_trip) runs=300 ;;
        *) runs=2000 ;;
      esac
      echo "fuzz: $t, $runs runs"
      "build/fuzz/fuzz/$t" "${limits[@]}" -seed=1 -runs=$runs -artifact_prefix="$work/" \
        "$work/$t" "$(seeds_of "$t")" 2>"$work/$t.log" || {
        tail -n 40 "$work/$t.log" >&2
        echo "fuzz: $t failed" >&2
        exit 1
      }
    done
    ;;
  run)
    seconds=${2:-600}
    shift $(($# >= 2 ? 2 : $#))
    [ $# -gt 0 ] && targets=("$@")
    mkdir -p build/fuzz/findings
    # A finding in one target does not keep the others from running.
    failed=()
    for t in "${targets[@]}"; do
      mkdir -p "build/fuzz/corpus/$t"
      echo "fuzz: $t for $seconds s"
      "build/fuzz/fuzz/$t" "${limits[@]}" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix=build/fuzz/findings/ "build/fuzz/corpus/$t" "$(seeds_of "$t")" ||
        failed+=("$t")
    done
    if [ ${#failed[@]} -gt 0 ]; then
      echo "fuzz: findings in ${failed[*]} (see build/fuzz/findings)" >&2
      exit 1
    fi
    ;;
  *)
    echo "usage: scripts/fuzz.sh check | run [SECONDS] [TARGET...]" >&2
    exit 2
    ;;
esac
