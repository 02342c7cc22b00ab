#!/usr/bin/env bash
# Builds and runs every test headless: once in a release build, once under
# AddressSanitizer + UndefinedBehaviorSanitizer, and the core tests once more under
# ThreadSanitizer (Qt's libraries are not built for it, so its own threads would give
# false reports in the window tests).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
export QT_QPA_PLATFORM=offscreen
jobs="$(nproc)"

# run_suite DIR TARGET CTEST_FILTER CMAKE_ARGS...
run_suite() {
    local dir="$1" target="$2" filter="$3"; shift 3
    cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir" -j "$jobs" --target "$target"
    (cd "$dir" && ctest --output-on-failure -j "$jobs" --timeout 300 -R "$filter")
}

echo "== release build =="
run_suite "$root/build/release" all . -DCMAKE_BUILD_TYPE=Release
echo "== sanitizer build (ASan + UBSan) =="
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run_suite "$root/build/asan" all . -DCMAKE_BUILD_TYPE=Debug -DAMBREL_SANITIZE=ON -DAMBREL_BENCH=OFF
echo "== thread sanitizer build (core tests) =="
unset ASAN_OPTIONS
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
run_suite "$root/build/tsan" ambrel_core_tests '^core\.' -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DAMBREL_TSAN=ON -DAMBREL_BENCH=OFF
