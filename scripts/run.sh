#!/usr/bin/env bash
# Builds Ambrel (release) and starts it.
set -euo pipefail
if [ "${1:-}" = "--help" ] || [ "${1:-}" = "-h" ]; then
    cat <<'HELP'
Usage: scripts/run.sh [PATH]...
Installs the Debian packages Ambrel needs when they are missing (with sudo when not root),
builds ambrel and ambrel-cli in build/release, and starts ambrel with the MP3 files and
folders named. After it, `cmake --install build/release --prefix DIR` installs both
programs, their data files, the desktop entry and the icon.
HELP
    exit 0
fi
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
# Both programs and the data files: what `cmake --install` puts in place.
cmake --build "$root/build/release" --target ambrel ambrel-cli ambrel_data
exec "$root/build/release/ambrel" "$@"
