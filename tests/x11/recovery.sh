#!/usr/bin/env bash
# Nothing typed is lost, on the real program under a real X server: inputs
# typed and the program killed outright come back with Ctrl+Shift+T in the
# next run, and a project named on the command line opens with the program.
#   tests/x11/recovery.sh <elcarta program>
set -uo pipefail

program=${1:?usage: recovery.sh <elcarta program>}

script=recovery.sh
source "$(dirname "$0")/session.sh"

recovery() { find "$work" -name recovery.json -print -quit; }
recovered() { local f; f=$(recovery); [ -n "$f" ] && grep -q "$1" "$f"; }

# endNormally: back to the menu and out through its exit, as the engineer leaves.
endNormally() {
    xdotool key alt+e
    expectShown Elcarta "back on the menu"
    sleep 1
    xdotool key alt+e
    for _ in $(seq 100); do running || break; sleep 0.1; done
    running && fail "the program did not end from the menu"
    wait "$app"
    app=""
}

# Typed into the load window, then killed without a chance to save anything.
startProgram
expectShown Elcarta "at start"
sleep 0.3
xdotool key alt+f
expectShown 负荷计算 "after Alt+F"
xdotool type --delay 60 4321
sleep 1.5
kill -9 "$app"
wait "$app" 2>/dev/null
app=""
recovered '"4321"' || fail "the typed figure is not in the recovery file a second after typing"
say "killed a second after typing: the figure is in the recovery file"

# The next run starts as always, and Ctrl+Shift+T brings the window back.
startProgram
expectShown Elcarta "at the next start"
sleep 0.3
xdotool key ctrl+shift+t
sleep 0.5
xdotool key alt+f
expectShown 负荷计算 "after Alt+F in the next run"
xdotool key End
xdotool type --delay 60 9
sleep 0.3
endNormally
recovered '"43219"' || fail "Ctrl+Shift+T did not bring back the typed figure ($(cat "$(recovery)" | head -c 300))"
say "the next run brought the figure back with Ctrl+Shift+T"

# A project named on the command line is the project the program opens (on
# a machine with no inputs waiting to be brought back, which a new run would
# not write over).
rm -f "$(recovery)"
cat >"$work/工程.elcarta" <<'JSON'
{"format":"elcarta-project","version":1,"header":{"project":"幸福小区"},"windows":{"fhjs":{"texts":{"Pjs":"777"}}}}
JSON
startProgram "$work/工程.elcarta"
expectShown Elcarta "started with a project"
sleep 0.3
xdotool key alt+f
expectShown 负荷计算 "after Alt+F with the project open"
sleep 0.3
endNormally
recovered '"777"' || fail "the project named on the command line was not opened"
recovered '工程.elcarta' || fail "the recovery file does not name the project file"
say "the project named on the command line opened"
echo "recovery.sh: all passed"
