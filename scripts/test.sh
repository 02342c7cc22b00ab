#!/usr/bin/env bash
# Builds and runs every test headless: once in a release build, once under
# AddressSanitizer + UndefinedBehaviorSanitizer.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
export QT_QPA_PLATFORM=offscreen
jobs="$(nproc)"

run_suite() {
    local dir="$1"; shift
    cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
    (cd "$dir" && ctest --output-on-failure -j "$jobs" --timeout 300)
}

echo "== release build =="
run_suite "$root/build/release" -DCMAKE_BUILD_TYPE=Release
echo "== sanitizer build (ASan + UBSan) =="
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run_suite "$root/build/asan" -DCMAKE_BUILD_TYPE=Debug -DAMBREL_SANITIZE=ON -DAMBREL_BENCH=OFF
