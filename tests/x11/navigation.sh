#!/usr/bin/env bash
# Walks the program's windows with real keys under a real X server and window
# manager: every window opened from every other one it can be reached from,
# then back, with its 返回, Escape or Alt+F4, until the menu is shown; never
# round a loop. Then Tab through the load schedule, in its order.
#   tests/x11/navigation.sh <elcarta program>
set -uo pipefail

program=${1:?usage: navigation.sh <elcarta program>}

script=navigation.sh
source "$(dirname "$0")/session.sh"

QT_QPA_PLATFORM=xcb QT_LOGGING_RULES="elcarta.focus.debug=true" "$program" >>"$work/program.log" 2>&1 &
app=$!
expectShown Elcarta "at start"

declare -A title=([dqjs]=Elcarta [fhjs]=负荷计算 [zdjs]=照度计算 [fljs]=防雷计算 [XCJS]=线槽计算 [gc]=工程 [fhb]=负荷计算表)
# The key that opens a window from another.
declare -A open=([dqjs:fhjs]=alt+f [dqjs:zdjs]=alt+z [dqjs:fljs]=alt+l [dqjs:XCJS]=alt+c [dqjs:gc]=ctrl+g
                 [fhjs:gc]=ctrl+g [zdjs:gc]=ctrl+g [fljs:gc]=ctrl+g [XCJS:gc]=ctrl+g
                 [fhjs:fhb]=ctrl+b [gc:fhb]=ctrl+b [fhb:gc]=ctrl+g)
# How each window is reached from the menu, and what it goes back to.
declare -A path=([dqjs]="" [fhjs]=fhjs [zdjs]=zdjs [fljs]=fljs [XCJS]=XCJS [gc]=gc [fhb]="fhjs fhb")
calculator() { case $1 in fhjs|zdjs|fljs|XCJS) return 0;; esac; return 1; }

press() {
    sleep 0.3 # a key of its own, not a bounce of the last
    xdotool key "$1"
}

# back WINDOW ROUND: leaves the window by one of the ways out, turn by turn.
back() {
    local w=$1 round=$2
    case $((round % 3)) in
        0) press alt+F4 ;;
        1) if calculator "$w"; then press alt+e; else press alt+f; fi ;;
        2) if calculator "$w"; then press alt+e; else press Escape; fi ;;
    esac
}

round=0
for edge in "${!open[@]}"; do
    from=${edge%%:*} to=${edge##*:}
    # From the menu to `from`, then on to `to`.
    at=dqjs
    for step in ${path[$from]}; do
        press "${open[$at:$step]}"
        expectShown "${title[$step]}" "opening $step on the way to $from"
        at=$step
    done
    press "${open[$from:$to]}"
    expectShown "${title[$to]}" "$from → $to"
    # Back down to the menu, never past it and never round a loop.
    shown=$to
    seen=" $to "
    for _ in 1 2 3; do
        [ "$shown" = dqjs ] && break
        back "$shown" "$round"
        round=$((round + 1))
        next=""
        for _ in $(seq 100); do
            for w in dqjs fhjs zdjs fljs XCJS gc fhb; do
                if onlyShown "${title[$w]}" && [ "$w" != "$shown" ]; then next=$w; break; fi
            done
            [ -n "$next" ] && break
            running || fail "$from → $to: the program ended going back from $shown"
            sleep 0.1
        done
        [ -n "$next" ] || fail "$from → $to: going back from $shown showed \"$(shownNames)\""
        case $seen in *" $next "*) fail "$from → $to: back from $shown went round to $next again";; esac
        seen="$seen$next "
        shown=$next
    done
    [ "$shown" = dqjs ] || fail "$from → $to: three steps back ended in $shown, not the menu"
    say "$from → $to, back:$seen"
    sleep 0.6 # the menu's exit and close wait half a second after it appears
done

# Tab in the load schedule: from the table, out of it at its last input cell
# (or at once with Ctrl+Tab), through the board's inputs in reading order and
# back into the table; the results are no stops.
focusSince() { tail -n +"$(($1 + 1))" "$work/program.log" | grep 'elcarta.focus: focus fhb ' | awk '{print $NF}' | paste -sd ' '; }
focusedSince() { [ -n "$(focusSince "$1")" ]; }
press alt+f
expectShown 负荷计算 "the load window"
mark=$(wc -l <"$work/program.log")
press ctrl+b
expectShown 负荷计算表 "the load schedule"
# The window manager hands the new window the focus a moment after it is
# shown; the walk starts from there.
waitFor 5 "the load schedule to take the focus" focusedSince "$mark"
mark=$(wc -l <"$work/program.log")
press ctrl+Tab
tabs() {
    for _ in $(seq "$1"); do
        sleep 0.05
        xdotool key Tab
    done
    sleep 0.5
}
tabs 24
walked=$(focusSince "$mark")
expected="sm fh pdx mc xjx scx crh sch sy xy kp kq mb qc fhl ts xl dlq dk yj xtrl zkdy fzsh dlsj bg"
[ "$walked" = "$expected" ] || fail "Tab in the schedule walked \"$walked\", not \"$expected\""
say "Tab walked the schedule: $walked"
# Inside the table (an empty board: its new line alone) Tab goes along the 13
# input cells and leaves past the last.
mark=$(wc -l <"$work/program.log")
tabs 12
[ -z "$(focusSince "$mark")" ] || fail "Tab left the table early: $(focusSince "$mark")"
tabs 1
[ "$(focusSince "$mark")" = sm ] || fail "Tab past the table's last input cell went to \"$(focusSince "$mark")\""
echo "PASS: every window walked in and out with the keyboard, and the schedule's Tab order"
