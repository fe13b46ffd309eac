#!/usr/bin/env bash
# Holds keys down on the real program under a real X server with a window
# manager, as an engineer at the keyboard does, and checks that no held or
# doubled key ends the program: the key repeats are the X server's own.
#   tests/x11/keys.sh <elcarta program>
# It starts its own X server, window manager and program, with a fresh home
# folder, and stops all of them when it ends, passed or failed.
set -uo pipefail

program=${1:?usage: keys.sh <elcarta program>}

say() { echo "keys.sh: $*"; }

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

work=$(mktemp -d "${TMPDIR:-/tmp}/elcarta-keys.XXXXXX") || fail "cannot make a temporary folder"

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

QT_QPA_PLATFORM=xcb QT_LOGGING_RULES="elcarta.keys.debug=true" "$program" >"$work/program.log" 2>&1 &
app=$!

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

keyLines() { wc -l <"$work/program.log"; }
# The repeats of E that reached the menu since log line $1 (the program logs
# each key event with QT_LOGGING_RULES=elcarta.keys.debug=true).
menuRepeats() { tail -n +"$(($1 + 1))" "$work/program.log" | grep 'press key=0x45 .* in dqjsWindow: repeat'; }

expectShown Elcarta "at start"
say "the menu is up on display $DISPLAY"

openCalculator() {
    local key=$1 title=$2
    expectShown Elcarta "before Alt+$key"
    sleep 0.3
    xdotool key "alt+$key"
    expectShown "$title" "after Alt+$key on the menu"
}

calculators=("f 负荷计算" "z 照度计算" "l 防雷计算" "c 线槽计算")
for entry in "${calculators[@]}"; do
    read -r key title <<<"$entry"
    for hold in 1.5 3; do
        openCalculator "$key" "$title"
        sleep 0.3
        before=$(keyLines)
        xdotool keydown alt+e
        sleep "$hold"
        xdotool keyup e alt
        sleep 0.7
        running || fail "holding Alt+E for $hold s in $title ended the program"
        expectShown Elcarta "after holding Alt+E for $hold s in $title"
        repeats=$(menuRepeats "$before" | grep -c .)
        unmarked=$(menuRepeats "$before" | grep -c 'marked=false')
        # The key must really have repeated on the menu, or the hold proved nothing.
        [ "$repeats" -ge 5 ] || fail "holding Alt+E for $hold s in $title: only $repeats repeats reached the menu"
        say "held Alt+E $hold s in $title: back on the menu, still running;" \
            "$repeats repeats on the menu, $unmarked of them not marked as repeats by Qt"
    done
done

# Alt+F4 pressed twice: the first closes the calculator, back to the menu; the
# second, meant for the calculator too, reaches the menu just shown.
for entry in "0.15 f 负荷计算" "0.4 c 线槽计算"; do
    read -r gap key title <<<"$entry"
    openCalculator "$key" "$title"
    sleep 0.3
    xdotool key alt+F4
    sleep "$gap"
    xdotool key alt+F4
    sleep 1
    running || fail "Alt+F4 twice, $gap s apart, in $title ended the program"
    expectShown Elcarta "after Alt+F4 twice, $gap s apart, in $title"
    say "Alt+F4 twice $gap s apart in $title: back on the menu, still running"
done

# A deliberate Alt+E on the menu ends the program, and it ends well.
expectShown Elcarta "before the last Alt+E"
sleep 1
xdotool key alt+e
for _ in $(seq 100); do running || break; sleep 0.1; done
running && fail "a deliberate Alt+E on the menu did not end the program"
wait "$app"
status=$?
app=""
[ "$status" -eq 0 ] || fail "the program ended with status $status"
say "a deliberate Alt+E on the menu ended the program (status 0)"
echo "keys.sh: all passed"
