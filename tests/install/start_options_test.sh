#!/usr/bin/env bash
# The answers a user gets on the terminal: ambrel --help and --version without a display,
# and scripts/run.sh --help without building anything.
# Arguments: the ambrel program and the project's root.
set -euo pipefail
ambrel="$1"
root="$2"
fail() { echo "FAIL: $*" >&2; exit 1; }

help="$(env -u DISPLAY -u QT_QPA_PLATFORM "$ambrel" --help)" || fail "ambrel --help failed"
[ "$(printf '%s\n' "$help" | head -1)" = "Usage: ambrel [OPTION]... [PATH]..." ] \
    || fail "ambrel --help: $help"
printf '%s\n' "$help" | grep -q -- '--version' || fail "ambrel --help names no --version"
[ "$(env -u DISPLAY "$ambrel" -h)" = "$help" ] || fail "ambrel -h differs from --help"
version="$(env -u DISPLAY -u QT_QPA_PLATFORM "$ambrel" --version)" || fail "ambrel --version failed"
[ "$version" = "Ambrel 2.00 Free" ] || fail "ambrel --version: $version"

run_help="$(bash "$root/scripts/run.sh" --help)" || fail "run.sh --help failed"
[ "$(printf '%s\n' "$run_help" | head -1)" = "Usage: scripts/run.sh [PATH]..." ] \
    || fail "run.sh --help: $run_help"
echo "ambrel and run.sh answer --help and --version"
