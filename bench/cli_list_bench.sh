#!/usr/bin/env bash
# Times `ambrel-cli list -r` over the generated 100,000-file tree, output to /dev/null, next
# to the raw reader (open + fstat + one positioned read of the last 128 bytes + close per
# file, one process, one thread) run as a program over the same files, in one run with the
# commands taken in turns. Wall time and CPU time (user + system) are both shown: on a
# machine shared with other work the CPU time is the steadier of the two.
# Usage (after a release build): bench/cli_list_bench.sh [BUILD] [ROUNDS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build/release}"
rounds="${2:-5}"
cli="$build/ambrel-cli"
raw="$build/bench/raw_tag_reader"
cmake --build "$build" --target ambrel-cli raw_tag_reader >/dev/null

corpus="$("$raw" --corpus 100000)"
paths="$(mktemp)"
samples="$(mktemp)"
trap 'rm -f "$paths" "$samples"' EXIT
"$raw" --list "$corpus" >"$paths"

names=("raw reader (paths given)" "raw reader (walks the tree itself)"
       "ambrel-cli list -r > /dev/null" "ambrel-cli list -r --format json > /dev/null")
run() {
    case "$1" in
        0) "$raw" --read "$paths" ;;
        1) "$raw" --walk "$corpus" ;;
        2) "$cli" list -r "$corpus" ;;
        3) "$cli" list -r --format json "$corpus" ;;
    esac
}

# One sample line per run: command number, wall seconds, CPU seconds.
sample() {
    local TIMEFORMAT='%R %U %S' times
    times=$({ time run "$1" >/dev/null; } 2>&1)
    read -r wall user sys <<<"$times"
    echo "$1 $wall $(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')" >>"$samples"
}

# Once each first, so that none pays alone for a cold cache.
for c in 0 1 2 3; do run "$c" >/dev/null; done
for ((i = 0; i < rounds; i++)); do
    for c in 0 1 2 3; do sample "$c"; done
done

median() { awk -v c="$1" -v f="$2" '$1 == c { print $f }' "$samples" | sort -n |
    awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
raw_wall=$(median 0 2)
raw_cpu=$(median 0 3)
echo "$(wc -l <"$paths") files under $corpus, median of $rounds rounds (ratio to the first line):"
printf '  %-44s %8s %6s %8s %6s\n' "" "wall ms" "" "CPU ms" ""
for c in 0 1 2 3; do
    awk -v n="${names[$c]}" -v w="$(median "$c" 2)" -v p="$(median "$c" 3)" \
        -v rw="$raw_wall" -v rp="$raw_cpu" \
        'BEGIN { printf "  %-44s %8.0f %5.2fx %8.0f %5.2fx\n", n, w * 1000, w / rw, p * 1000, p / rp }'
done
