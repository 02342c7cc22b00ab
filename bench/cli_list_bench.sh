#!/usr/bin/env bash
# Times `ambrel-cli list -r` over the generated 100,000-file tree, output to /dev/null, next
# to the raw reader (open + fstat + one positioned read of the last 128 bytes + close per
# file, one process, one thread) run as a program over the same files, in one run with the
# two taken in turns. Usage (after a release build): bench/cli_list_bench.sh [BUILD] [ROUNDS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build/release}"
rounds="${2:-5}"
cli="$build/ambrel-cli"
raw="$build/bench/raw_tag_reader"
cmake --build "$build" --target ambrel-cli raw_tag_reader >/dev/null

corpus="$("$raw" --corpus 100000)"
paths="$(mktemp)"
trap 'rm -f "$paths"' EXIT
"$raw" --list "$corpus" >"$paths"

# Milliseconds one command takes, its output dropped.
time_ms() {
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null
    end=$(date +%s%N)
    echo $(((end - start) / 1000000))
}

ratio() { awk -v a="$1" -v b="$raw_ms" 'BEGIN { print a / b }'; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Once each first, so that neither pays alone for a cold cache.
"$raw" --read "$paths" >/dev/null
"$cli" list -r "$corpus" >/dev/null

raw_times=() walk_times=() cli_times=() json_times=()
for ((i = 0; i < rounds; i++)); do
    raw_times+=("$(time_ms "$raw" --read "$paths")")
    walk_times+=("$(time_ms "$raw" --walk "$corpus")")
    cli_times+=("$(time_ms "$cli" list -r "$corpus")")
    json_times+=("$(time_ms "$cli" list -r --format json "$corpus")")
done

raw_ms=$(printf '%s\n' "${raw_times[@]}" | median)
walk_ms=$(printf '%s\n' "${walk_times[@]}" | median)
cli_ms=$(printf '%s\n' "${cli_times[@]}" | median)
json_ms=$(printf '%s\n' "${json_times[@]}" | median)
files=$(wc -l <"$paths")
echo "$files files under $corpus, median of $rounds rounds:"
printf '  %-44s %6d ms  %.2fx\n' "raw reader (paths given)" "$raw_ms" 1
printf '  %-44s %6d ms  %.2fx\n' "raw reader (walks the tree itself)" "$walk_ms" \
    "$(ratio "$walk_ms")"
printf '  %-44s %6d ms  %.2fx\n' "ambrel-cli list -r > /dev/null" "$cli_ms" \
    "$(ratio "$cli_ms")"
printf '  %-44s %6d ms  %.2fx\n' "ambrel-cli list -r --format json > /dev/null" "$json_ms" \
    "$(ratio "$json_ms")"
