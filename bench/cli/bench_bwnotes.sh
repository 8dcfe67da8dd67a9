#!/usr/bin/env bash
# CPU time (user + system) and peak resident memory of bwnotes commands,
# each the median of three runs, measured with /usr/bin/time:
#
#   bench/cli/bench_bwnotes.sh BUILD_DIR FILE...
#
# prints, for the minimal Qt console program (bench_qt_start) and
# `bwnotes --version`, then `bwnotes dump FILE` for every FILE given, one line:
# the command, its CPU seconds, its system seconds and its peak memory in MB.
# Build with -DBW_BUILD_BENCH=ON; generate files with
# bench_big_file generate N FILE and bwnotes convert FILE OTHER.xml.
set -euo pipefail
build=${1:?usage: bench_bwnotes.sh BUILD_DIR FILE...}
shift

# median of three: the second of the sorted numbers
median() { printf '%s\n' "$@" | sort -g | sed -n 2p; }

measure() {
  local cpu=() sys=() rss=() out
  out=$(mktemp)
  for _ in 1 2 3; do
    /usr/bin/time -o "$out" -f '%U %S %M' "$@" >/dev/null 2>&1
    read -r user system kb <"$out"
    cpu+=("$(echo "$user + $system" | bc)")
    sys+=("$system")
    rss+=("$kb")
  done
  rm -f "$out"
  printf '%-60s cpu %6.3f s  sys %6.3f s  peak %8.1f MB\n' "$(basename "$1") ${*:2}" \
    "$(median "${cpu[@]}")" "$(median "${sys[@]}")" "$(echo "$(median "${rss[@]}") / 1024" | bc -l)"
}

measure "$build/bin/bench_qt_start"
measure "$build/bin/bwnotes" --version
for file in "$@"; do
  measure "$build/bin/bwnotes" dump "$file"
done
