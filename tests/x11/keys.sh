#!/usr/bin/env bash
# Holds keys down on the real program under a real X server with a window
# manager, as an engineer at the keyboard does, and checks that no held or
# doubled key ends the program: the key repeats are the X server's own.
#   tests/x11/keys.sh <elcarta program>
# It starts its own X server, window manager and program, with a fresh home
# folder, and stops all of them when it ends, passed or failed.
set -uo pipefail

program=${1:?usage: keys.sh <elcarta program>}

script=keys.sh
source "$(dirname "$0")/session.sh"

startProgram

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

# Ctrl+P held in a calculator saves its sheet once, however long the key
# repeats; the sheets go to the documents folder of the session's own home.
openCalculator f 负荷计算
sleep 0.3
before=$(keyLines)
xdotool keydown ctrl+p
sleep 1.5
xdotool keyup p ctrl
sleep 1
running || fail "holding Ctrl+P ended the program"
repeats=$(tail -n +"$((before + 1))" "$work/program.log" | grep -c 'press key=0x50 .*: repeat')
[ "$repeats" -ge 5 ] || fail "holding Ctrl+P: only $repeats repeats reached the window"
sheets=$(find "$HOME" -name '*.pdf' | grep -c .)
[ "$sheets" -eq 1 ] || fail "holding Ctrl+P for 1.5 s saved $sheets sheets: $(find "$HOME" -name '*.pdf')"
say "held Ctrl+P 1.5 s in 负荷计算: one sheet saved, $repeats repeats"
xdotool key alt+e
expectShown Elcarta "after Alt+E from 负荷计算"

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
