#!/usr/bin/env bash
# Reads the program's windows as a window manager sees them: starts its own X server
# (Xvfb, on a free display) of the given size with openbox drawing side frames of the
# given width, runs the window program, and checks every visible window's title and that
# the three main windows lie side by side on the screen, frames included, without
# overlapping. With --late-wm the program's windows are up before openbox starts, so that
# openbox frames windows that were placed without frames (as a busy window manager does).
#
#   desktop_windows_test.sh PROGRAM WIDTHxHEIGHT BORDER [--late-wm] [SCREENSHOT.png]
#
# The machine may be busy: every wait polls for what it waits for, with a generous deadline.
# Everything it starts is ended on every way out. Needs Xvfb, openbox, xdotool, xprop and
# xwininfo (scripts/install-deps.sh installs them); import (ImageMagick) for a screenshot.
set -uo pipefail

program="$1"
screen="$2"
border="$3"
shift 3
late_wm=""
if [ "${1:-}" = "--late-wm" ]; then
    late_wm=1
    shift
fi
screenshot="${1:-}"
# How long to wait for a server, a window manager or the windows to come up.
deadline=60
work="$(mktemp -d)"
pids=()

cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 2' INT TERM

fail() {
    echo "FAIL: $*" >&2
    [ -s "$work/program.log" ] && sed 's/^/  program: /' "$work/program.log" >&2
    exit 1
}

# Runs a command every tenth of a second until it succeeds, for up to $1 seconds.
poll() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

x() { timeout 20 "$@"; }

# The X server, on a display number drawn from a range that servers picking the lowest free
# number (Xvfb -displayfd, as other tests on the machine may run) do not reach: a server
# that ends on a display removes its socket by name, and would take the socket of a new
# server that had just taken that display over.
server_up() { x xprop -root >/dev/null 2>&1; }
start_xvfb() {
    local attempt xvfb_pid
    for attempt in 1 2 3 4 5 6 7 8 9 10; do
        local number=$((200 + RANDOM % 800))
        [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ] && continue
        export DISPLAY=":$number"
        Xvfb "$DISPLAY" -screen 0 "${screen}x24" -nolisten tcp 2>"$work/xvfb.log" &
        xvfb_pid=$!
        pids+=("$xvfb_pid")
        local until=$((SECONDS + deadline))
        while kill -0 "$xvfb_pid" 2>/dev/null && [ "$SECONDS" -lt "$until" ]; do
            server_up && return 0
            sleep 0.1
        done
        # The display was taken, or the server never answered: another number.
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    done
    fail "Xvfb did not start: $(cat "$work/xvfb.log")"
}
start_xvfb

# The shipped theme with the frame width asked for.
mkdir -p "$work/.themes/Test"
cp -r /usr/share/themes/Clearlooks/openbox-3 "$work/.themes/Test/"
sed -i "s/^border.width:.*/border.width: $border/" "$work/.themes/Test/openbox-3/themerc"
sed 's|<name>Clearlooks</name>|<name>Test</name>|' /etc/xdg/openbox/rc.xml >"$work/rc.xml"

# The window (an id) that a window's _NET_SUPPORTING_WM_CHECK names.
wm_check_of() { x xprop "$@" _NET_SUPPORTING_WM_CHECK 2>/dev/null | sed -n 's/.*window id # //p'; }
# A window manager is running once the root names its check window and that window names
# itself (the root's property alone may outlive a window manager).
wm_ready() {
    local check
    check="$(wm_check_of -root)"
    [ -n "$check" ] && [ "$(wm_check_of -id "$check")" = "$check" ]
}
# openbox on a busy machine now and then fails to open a display that answers xprop: it is
# started again while it ends before it is ready.
openbox_up() {
    wm_ready && return 0
    kill -0 "$openbox_pid" 2>/dev/null && return 1
    [ "$openbox_starts" -lt 5 ] || return 1
    launch_openbox
    return 1
}
launch_openbox() {
    openbox_starts=$((openbox_starts + 1))
    HOME="$work" openbox --config-file "$work/rc.xml" >>"$work/openbox.log" 2>&1 &
    openbox_pid=$!
    pids+=("$openbox_pid")
}
start_openbox() {
    openbox_starts=0
    launch_openbox
    poll "$deadline" openbox_up ||
        fail "openbox did not start on $DISPLAY after $openbox_starts tries: $(cat "$work/openbox.log")"
}

[ -n "$late_wm" ] || start_openbox
QT_QPA_PLATFORM=xcb HOME="$work" XDG_RUNTIME_DIR="$work" "$program" >"$work/program.log" 2>&1 &
program_pid=$!
pids+=("$program_pid")

# The value of a text property of a window, as xprop prints it between quotes.
property() { x xprop -id "$1" "$2" | sed -n 's/^[^=]*= "\(.*\)"$/\1/p'; }
windows() { x xdotool search --onlyvisible --pid "$program_pid" 2>/dev/null; }
titles() {
    local id
    for id in $(windows); do property "$id" _NET_WM_NAME; done | sort
}

expected="$(printf '%s\n' "Ambrel 2.0 Free (Pendrake project)" "File viewer" "Action panel" \
    "Copy/Move files" "Checking new version" "About" "Ambrel 2.0 Free alpha (Pendrake)" \
    "Error occuried" | sort)"
all_titles() { [ "$(titles)" = "$expected" ]; }
if [ -n "$late_wm" ]; then
    # The main window has placed the three before any window manager frames them.
    three_up() { [ "$(windows | wc -l)" -ge 3 ]; }
    poll "$deadline" three_up || fail "the program's windows did not come up"
    start_openbox
fi
if ! poll "$deadline" all_titles; then
    fail "window titles differ (expected, then seen):
$expected
--
$(titles)"
fi
# The older property carries the same title.
for id in $(windows); do
    net="$(property "$id" _NET_WM_NAME)"
    old="$(property "$id" WM_NAME)"
    [ "$net" = "$old" ] || fail "WM_NAME \"$old\" differs from _NET_WM_NAME \"$net\""
done

declare -A window_with_title
for id in $(windows); do window_with_title["$(property "$id" _NET_WM_NAME)"]="$id"; done

# The outer rectangle of the window with this title: left right top bottom.
frame_of() {
    local id="${window_with_title[$1]}" extents info left top width height
    extents="$(x xprop -id "$id" _NET_FRAME_EXTENTS | sed -n 's/.*= //p' | tr -d ,)"
    info="$(x xwininfo -id "$id")" || return 1
    left="$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")"
    top="$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")"
    width="$(sed -n 's/^ *Width: *//p' <<<"$info")"
    height="$(sed -n 's/^ *Height: *//p' <<<"$info")"
    read -r fl fr ft fb <<<"${extents:-0 0 0 0}"
    echo "$((left - fl)) $((left + width + fr)) $((top - ft)) $((top + height + fb))"
}

screen_width="${screen%x*}"
# The outer rectangles of the three main windows, once the window manager has framed each.
frames() {
    local title
    for title in "File viewer" "Ambrel 2.0 Free (Pendrake project)" "Action panel"; do
        x xprop -id "${window_with_title[$title]}" _NET_FRAME_EXTENTS | grep -q = || return 1
        frame_of "$title" || return 1
    done
}
# The frames stay as they are for two seconds: the main window has placed the three again after
# the window manager framed them, and nothing moves any more.
last_frames=""
still_for=0
settled() {
    local now
    now="$(frames)" || return 1
    if [ "$now" = "$last_frames" ]; then
        still_for=$((still_for + 1))
    else
        last_frames="$now"
        still_for=0
    fi
    [ "$still_for" -ge 20 ]
}
poll "$deadline" settled || fail "the windows did not settle: $(frames)"

side_by_side() {
    {
        read -r vl vr _ _
        read -r ml mr _ _
        read -r pl pr _ _
    } <<<"$last_frames"
    placement="file viewer $vl..$vr, main window $ml..$mr, action panel $pl..$pr"
    [ "$vl" -ge 0 ] && [ "$vr" -le "$ml" ] && [ "$ml" -lt "$mr" ] && [ "$mr" -le "$pl" ] &&
        [ "$pr" -le "$screen_width" ]
}
placement=""
side_by_side ||
    fail "the windows overlap on a ${screen} screen with ${border}-pixel frames: $placement"

# A window the user moves once the placement has settled stays where it was put.
x xdotool windowmove "${window_with_title["File viewer"]}" 300 200
moved_left() {
    local left
    read -r left _ <<<"$(frame_of "File viewer")"
    [ "$left" -ge 290 ]
}
poll "$deadline" moved_left || fail "the file viewer could not be moved: $(frame_of "File viewer")"
sleep 2
moved_left || fail "the file viewer went back after the user moved it: $(frame_of "File viewer")"

if [ -n "$screenshot" ]; then
    x import -window root "$screenshot" || fail "no screenshot"
fi
echo "PASS: every title exact, windows side by side on ${screen} with ${border}-pixel frames" \
    "($placement)"
