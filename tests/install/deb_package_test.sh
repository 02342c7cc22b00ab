#!/usr/bin/env bash
# Makes the Debian package of the build with cpack and checks it as a user's apt would
# meet it: the programs, the data files, the desktop entry, the icon, the man pages and
# the documents Debian wants, dependencies worked out from the shared libraries, and no
# error from lintian.
# Arguments: the cpack program and the build directory.
set -euo pipefail
cpack_program="$1"
build="$2"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

"$cpack_program" -G DEB --config "$build/CPackConfig.cmake" -B "$out" >/dev/null
shopt -s nullglob
packages=("$out"/ambrel_*.deb)
[ ${#packages[@]} -eq 1 ] || fail "cpack made ${#packages[@]} packages named ambrel_*.deb"
deb="${packages[0]}"
case "$(basename "$deb")" in
    ambrel_2.0.0_amd64.deb | ambrel_2.0.0_"$(dpkg --print-architecture)".deb) ;;
    *) fail "the package is named $(basename "$deb")" ;;
esac

contents="$(dpkg-deb -c "$deb" | awk '{print $NF}')"
for file in ./usr/bin/ambrel ./usr/bin/ambrel-cli ./usr/share/ambrel/Data/tagviewer.cfg \
            ./usr/share/ambrel/Data/error.cfg ./usr/share/applications/ambrel.desktop \
            ./usr/share/icons/hicolor/scalable/apps/ambrel.svg \
            ./usr/share/man/man1/ambrel.1.gz ./usr/share/man/man1/ambrel-cli.1.gz \
            ./usr/share/doc/ambrel/copyright ./usr/share/doc/ambrel/changelog.gz; do
    grep -qxF "$file" <<<"$contents" || fail "$file is not in the package"
done
! grep -q '^\./usr/lib' <<<"$contents" || fail "the package carries libraries of its own"

info="$(dpkg-deb -I "$deb")"
grep -q '^ Package: ambrel$' <<<"$info" || fail "the package is not named ambrel"
grep -q '^ Version: 2\.0\.0$' <<<"$info" || fail "the version is not 2.0.0"
depends="$(sed -n 's/^ Depends: //p' <<<"$info")"
for library in libc6 libstdc++6 libqt6core6 libqt6widgets6 libqt6network6 libtag1v5; do
    grep -q "\b$library\b" <<<"$depends" || fail "the dependencies lack $library: $depends"
done

# lintian exits 0 when it finds nothing at or above the level asked for.
if ! report="$(lintian --fail-on error "$deb" 2>&1)"; then
    printf '%s\n' "$report" >&2
    fail "lintian reports errors"
fi
printf '%s\n' "$report" | grep '^E:' && fail "lintian reports errors"
echo "$(basename "$deb"): contents, dependencies and lintian all right"
