# What the real-X tests share: their own X server on a free display, a window
# manager, a home and XDG folders of their own, and the program started in
# them; all stopped when the test ends, passed or failed.
#   source session.sh   (with $program and $script set)
# shellcheck shell=bash

say() { echo "$script: $*"; }

work=""
xvfb="" wm="" app=""

stop() {
    local pid
    for pid in "$app" "$wm" "$xvfb"; do
        [ -n "$pid" ] || continue
        kill "$pid" 2>/dev/null
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        kill -9 "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    app="" wm="" xvfb=""
    [ -n "$work" ] && rm -rf "$work"
    work=""
}
trap stop EXIT
trap 'exit 1' INT TERM HUP

fail() {
    echo "FAIL: $*" >&2
    if [ -n "$work" ] && [ -s "$work/program.log" ]; then
        echo "--- the program's last key events and messages:" >&2
        tail -n 40 "$work/program.log" >&2
    fi
    exit 1
}

for tool in Xvfb openbox xdotool xset; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/setup.sh installs it)"
done
[ -x "$program" ] || fail "no program at $program"

work=$(mktemp -d "${TMPDIR:-/tmp}/elcarta-$script.XXXXXX") || fail "cannot make a temporary folder"

# waitFor SECONDS WHAT COMMAND...: retries COMMAND every 0.1 s.
waitFor() {
    local seconds=$1 what=$2
    shift 2
    local tries=$((seconds * 10))
    for _ in $(seq "$tries"); do
        "$@" && return 0
        sleep 0.1
    done
    fail "waited ${seconds} s for $what"
}

# The X server picks a free display itself and writes its number when it is ready.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb=$!
waitFor 15 "the X server to start" test -s "$work/display"
DISPLAY=":$(head -n 1 "$work/display")"
export DISPLAY

# Nothing of the user's is read or written: a home and XDG folders of its own.
mkdir -p "$work/home" "$work/config" "$work/data" "$work/cache" "$work/state" "$work/runtime"
chmod 700 "$work/runtime"
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_CACHE_HOME="$work/cache"
export XDG_STATE_HOME="$work/state" XDG_RUNTIME_DIR="$work/runtime"
unset WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS SESSION_MANAGER XDG_SESSION_TYPE
export NO_AT_BRIDGE=1
# A sanitizer build of the program: libxkbcommon-x11 copies the X server's
# keymap names with strndup from buffers that end without a NUL, which
# strict_string_checks reports as an overflow (in that library, not ours).
if [ -n "${ASAN_OPTIONS:-}" ]; then
    export ASAN_OPTIONS="$ASAN_OPTIONS:strict_string_checks=0"
fi

openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm=$!
wmUp() { xdotool get_num_desktops >/dev/null 2>&1; }
waitFor 15 "the window manager to start" wmUp

# The X server's own auto repeat, at its usual delay and rate.
xset r on
xset r rate 660 25
xset q | grep -q 'auto repeat:  on' || fail "the X server's auto repeat is off (xset q)"

# startProgram [ARGUMENT...]: the program on this X server, logging its key
# events; $app is its process.
startProgram() {
    QT_QPA_PLATFORM=xcb QT_LOGGING_RULES="elcarta.keys.debug=true" "$program" "$@" >>"$work/program.log" 2>&1 &
    app=$!
}

running() { kill -0 "$app" 2>/dev/null; }
shownNames() {
    local w
    for w in $(xdotool search --onlyvisible --pid "$app" 2>/dev/null); do
        xdotool getwindowname "$w" 2>/dev/null
    done | sort | paste -sd '|'
}
activeName() { xdotool getactivewindow getwindowname 2>/dev/null; }
onlyShown() { running && [ "$(shownNames)" = "$1" ] && [ "$(activeName)" = "$1" ]; }

# expectShown TITLE WHEN: the window TITLE alone is shown, and active.
expectShown() {
    local title=$1 when=$2
    for _ in $(seq 150); do
        onlyShown "$title" && return 0
        running || break
        sleep 0.1
    done
    running || fail "$when: the program ended"
    fail "$when: expected only \"$title\" shown and active; shown: \"$(shownNames)\", active: \"$(activeName)\""
}

