#!/usr/bin/env bash
# Types into the showcase's Fields page as a user would, with xdotool on the test's X server:
# a name typed and committed with Return, an edit abandoned with Escape, a label renamed in
# place after a slow second click, a relative entry (+=5) in a number field with units, and
# a drag on a number field's handle; then checks what the page reported (--trace prints
# "fields <field> <what> <value>" lines, and where the fields are at start).
#   tests/e2e/fields_e2e.sh path/to/qn_demo
set -uo pipefail
source "$(dirname "$0")/e2e_session.sh"
start_showcase "$1" --page fields

# "fields at NAME x y w h": the middle right part of a field, where its text is.
at() { awk -v name="$1" -v n="$2" '$1 == "fields" && $2 == "at" && $3 == name { print $n; exit }' "$trace"; }
right_of() { echo $(($(at "$1" 4) + $(at "$1" 6) * 3 / 4)); }
middle_y() { echo $(($(at "$1" 5) + $(at "$1" 7) / 2)); }

# A name typed into the empty name field and committed with Return.
xdotool mousemove --window "$wid" "$(right_of name)" "$(middle_y name)" click 1
sleep 0.1
xdotool type --delay 20 "hero camera"
xdotool key Return
expect '^fields name changed hero camera$' "Return commits the typed name"

# Typing into the Unicode field and leaving with Escape puts its text back.
xdotool mousemove --window "$wid" "$(right_of unicode)" "$(middle_y unicode)" click 1
sleep 0.1
xdotool type --delay 20 "xyz"
xdotool key Escape
expect '^fields unicode escaped Café € 12' "Escape restores the text the field had"

# A label: the first click focuses it, a second one after a pause opens its editor.
lx=$(($(at label_key_light 4) + 20))
ly="$(middle_y label_key_light)"
xdotool mousemove --window "$wid" "$lx" "$ly" click 1
sleep 0.4
xdotool click 1
sleep 0.6
xdotool type --delay 20 "sun"
xdotool key Return
expect '^fields label_key_light renamed sun$' "a slow second click renames the label in place"

# A relative entry: 2 m shown in centimetres, plus 5 (centimetres) is 2.05 m.
xdotool mousemove --window "$wid" "$(right_of distance)" "$(middle_y distance)" click 1
sleep 0.1
xdotool key ctrl+a
xdotool type --delay 20 "+=5"
xdotool key Return
expect '^fields distance changed 2.05 ' "+=5 adds five centimetres"

# The samples field's drag handle, at its left: dragging right raises the value.
hx=$(($(at samples 4) + 6))
hy="$(middle_y samples)"
xdotool mousemove --window "$wid" "$hx" "$hy"
sleep 0.1
xdotool mousedown 1
for step in 1 2 3 4 5; do
    xdotool mousemove --window "$wid" $((hx + step * 4)) "$hy"
    sleep 0.05
done
xdotool mouseup 1
expect '^fields samples changing ' "dragging the handle changes the value"
expect '^fields samples changed ' "releasing the handle ends the change"

end_session fields
