#!/usr/bin/env bash
# Edits the script on the showcase's Text page as a user would, with xdotool on the test's X
# server: a line typed into the editor, a search from the find field, a replace-all, the line
# commented with Ctrl+Shift+C, and every step undone with Ctrl+Z; then a line of Python typed
# with a name completed by Ctrl+Space and the script run with F5. It checks what the page
# reported (--trace prints "text modified <count> lines <n> line <l>: <text>" after every
# change, "text found ...", "text replaced ...", "text python line <l>: <text>" for the
# Python editor, "text output <line>" and "text run <result> line <n>" for a run, and where
# its widgets are at start).
#   tests/e2e/text_e2e.sh path/to/qn_demo
set -uo pipefail
source "$(dirname "$0")/e2e_session.sh"
start_showcase "$1" --page text

# "text at NAME x y w h": the widgets' boxes.
at() { awk -v name="$1" -v n="$2" '$1 == "text" && $2 == "at" && $3 == name { print $n; exit }' "$trace"; }
middle_x() { echo $(($(at "$1" 4) + $(at "$1" 6) / 2)); }
middle_y() { echo $(($(at "$1" 5) + $(at "$1" 7) / 2)); }

# Line 6 of the script is empty: a click far right on it puts the caret there.
line_h="$(awk '$1 == "text" && $2 == "line_height" { print $3; exit }' "$trace")"
ex=$(($(at editor 4) + 300))
ey=$(($(at editor 5) + 1 + 5 * line_h + line_h / 2))
xdotool mousemove --window "$wid" "$ex" "$ey" click 1
sleep 0.1
xdotool type --delay 20 "var total = 42;"
expect '^text modified .* line 6: var total = 42;$' "the typed line shows in the editor"

# Return in the find field searches from the caret and wraps to the match.
xdotool mousemove --window "$wid" "$(middle_x find)" "$(middle_y find)" click 1
sleep 0.1
xdotool type --delay 20 "total"
xdotool key Return
expect "^text found 'total' at line 6$" "the search finds the typed word"

# Replace all, from the replace field and its button.
xdotool mousemove --window "$wid" "$(middle_x replace)" "$(middle_y replace)" click 1
sleep 0.1
xdotool type --delay 20 "sum"
xdotool mousemove --window "$wid" "$(middle_x replace_all)" "$(middle_y replace_all)" click 1
expect "^text replaced 1 'total' with 'sum'$" "replace all reports one replacement"
expect '^text modified .* line 6: var sum = 42;$' "the line holds the replacement"

# The editor has the focus back: comment the line, then undo everything.
xdotool key ctrl+shift+c
expect '^text modified .* line 6: //var sum = 42;$' "Ctrl+Shift+C comments the line"
xdotool key ctrl+z
expect '^text modified .* line 6: var sum = 42;$' "the first undo removes the comment" 2
xdotool key ctrl+z
expect '^text modified .* line 6: var total = 42;$' "the second undo takes the replacement back" 2
xdotool key ctrl+z
expect '^text modified 0 lines .* line 6: $' "the third undo removes the typed text at once"

# The Python editor: on its empty last line, "pri" completed to "print" by Ctrl+Space and Return.
xdotool mousemove --window "$wid" "$(middle_x python)" "$(middle_y python)" click 1
sleep 0.1
xdotool key ctrl+End
xdotool type --delay 20 "pri"
xdotool key ctrl+space
sleep 0.3
xdotool key Return
expect '^text python line 15: print$' "Ctrl+Space and Return complete the typed name"
xdotool type --delay 20 "('hello from e2e')"
expect "^text python line 15: print\('hello from e2e'\)$" "the call is typed after the completed name"

# F5 runs the script on the interpreter's thread; its output and end come back to the page.
xdotool key F5
expect '^text output \(2.0, 0.0\)$' "the sample's output reaches the console"
expect '^text output hello from e2e$' "the typed line runs"
expect '^text run RESULT_OK line 0 caret [0-9]+$' "the run ends without error"

# A failing line: the run reports it and puts the caret on it; undoing the line fixes the script.
xdotool key Return
xdotool type --delay 20 "1/0"
expect '^text python line 16: 1/0$' "a failing line is typed"
xdotool key ctrl+Home F5
expect '^text run RESULT_ERROR line 16 caret 16$' "the error's line is reported and the caret goes to it"
xdotool key ctrl+z ctrl+z
sleep 0.2
xdotool key F5
expect '^text run RESULT_OK line 0 caret [0-9]+$' "the script runs again once the line is undone" 2

# A loop that never ends: Shift+F5 stops it.
xdotool key ctrl+End Return
xdotool type --delay 20 "while True: pass"
xdotool key F5
sleep 0.5
xdotool key shift+F5
expect '^text run RESULT_INTERRUPTED line [0-9]+ caret [0-9]+$' "Shift+F5 stops a script that never ends"

end_session text
