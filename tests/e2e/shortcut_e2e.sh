#!/usr/bin/env bash
# On a fresh start of the showcase, before any click, the main menu's Ctrl+Q ends it: with
# the pointer over each page's main widget (a sheet, a tree, a node graph, a text editor
# with their own keys), after a click on a toolbar button, a slider or a tab (which take no
# focus), with the pointer outside the window, and after a message box has closed.
#   tests/e2e/shortcut_e2e.sh path/to/qn_demo
set -uo pipefail
source "$(dirname "$0")/e2e_session.sh"

# Waits up to three seconds for the showcase to end by itself; true when it did, with status 0.
ends_by_itself() {
    for _ in $(seq 1 30); do
        if ! kill -0 "$pid" 2>/dev/null; then
            wait "$pid"
            return $?
        fi
        sleep 0.1
    done
    return 1
}

# page, then where the pointer goes before Ctrl+Q ("x y" in the window, or "outside"), then
# whether to click there first.
while read -r page x y click; do
    start_showcase "$1" --page "$page"
    if [ "$x" = outside ]; then
        # The window keeps the keyboard (as the active window does) with the pointer elsewhere.
        xdotool windowfocus --sync "$wid" mousemove 1590 1190
    else
        xdotool mousemove --window "$wid" "$x" "$y"
        [ "$click" = click ] && xdotool click 1
    fi
    sleep 0.2
    xdotool key ctrl+q
    ends_by_itself || fail "Ctrl+Q ends the showcase on a fresh start (page $page, pointer at $x $y $click)"
    rm -f "$trace"
done <<'ROWS'
widgets 660 380 -
widgets outside - -
controls 327 100 click
controls 1170 274 click
controls 420 162 click
spreadsheet 700 400 -
explorer 600 400 -
nodal 800 400 -
text 700 400 -
tree 700 400 -
ROWS
# After a message box has had the keyboard and closed, the main window's shortcut works again.
start_showcase "$1" --page windows
xdotool mousemove --window "$wid" 290 237 click 1
sleep 0.5
xdotool mousemove --window "$wid" 660 380 key Escape
expect '^message box answer ANSWER_NO$' "Escape answers the message box"
sleep 0.3
xdotool key ctrl+q
ends_by_itself || fail "Ctrl+Q ends the showcase after a message box closed"
rm -f "$trace"
echo "shortcut end-to-end: ok"
