#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks what a user gets there: the programs,
# the data files, a desktop entry that desktop-file-validate takes, the icon, and an
# installed ambrel-cli that reads its genre names from share/ambrel/Data.
# Arguments: the cmake program and the build directory.
set -euo pipefail
cmake_program="$1"
build="$2"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

"$cmake_program" --install "$build" --prefix "$prefix" >/dev/null

for file in bin/ambrel bin/ambrel-cli share/ambrel/Data/tagviewer.cfg share/ambrel/Data/error.cfg \
            share/applications/ambrel.desktop share/icons/hicolor/scalable/apps/ambrel.svg; do
    [ -f "$prefix/$file" ] || fail "$file is not installed"
done
[ -x "$prefix/bin/ambrel" ] && [ -x "$prefix/bin/ambrel-cli" ] || fail "the programs cannot be run"
[ ! -e "$prefix/bin/Data" ] || fail "the data files belong under share, not beside the programs"

entry="$prefix/share/applications/ambrel.desktop"
desktop-file-validate "$entry" || fail "desktop-file-validate refuses the entry"
grep -qx 'Exec=ambrel %F' "$entry" || fail "the entry does not open files with ambrel"
grep -qx 'MimeType=audio/mpeg;' "$entry" || fail "the entry does not take MP3 files"
grep -qx 'Icon=ambrel' "$entry" || fail "the entry does not name the icon"
python3 -c 'import sys, xml.dom.minidom; xml.dom.minidom.parse(sys.argv[1])' \
    "$prefix/share/icons/hicolor/scalable/apps/ambrel.svg" || fail "the icon is no well-formed SVG"

# A file with genre 17 ("Rock" in the genre list; "17" when no list is found), and a
# missing one, whose message comes from the installed error.cfg.
song="$prefix/song.mp3"
python3 - "$song" <<'PY'
import sys
f = lambda b, n: b[:n].ljust(n, b'\0')
tag = b'TAG' + f(b'Title', 30) + f(b'Artist', 30) + f(b'', 30) + f(b'1999', 4) + f(b'', 29) + bytes([3, 17])
open(sys.argv[1], 'wb').write(b'\x55' * 300 + tag)
PY
listed="$(cd / && "$prefix/bin/ambrel-cli" list "$song")"
genre="$(printf '%s\n' "$listed" | sed -n 2p | cut -f8)"
[ "$genre" = "Rock" ] || fail "the installed ambrel-cli lists genre '$genre', not 'Rock'"
if message="$("$prefix/bin/ambrel-cli" list "$prefix/gone.mp3" 2>&1 >/dev/null)"; then
    fail "a missing file went through"
fi
[ "$message" = "ambrel-cli: $prefix/gone.mp3: The source file does not exist any more." ] \
    || fail "the installed error messages are not found: $message"
echo "installed into $prefix: all found"
