#!/usr/bin/env bash
# Types into the showcase's Fields page as a user would, with xdotool on the test's X server:
# a name typed and committed with Return, an edit abandoned with Escape, a label renamed in
# place after a slow second click, a relative entry (+=5) in a number field with units, and
# a drag on a number field's handle; then checks what the page reported (--trace prints
# "fields <field> <what> <value>" lines, and where the fields are at start).
#   tests/e2e/fields_e2e.sh path/to/qn_demo
set -uo pipefail
demo="$1"
trace="$(mktemp)"
fail() { echo "FAIL: $*"; echo "--- trace ---"; cat "$trace"; kill "$pid" 2>/dev/null; rm -f "$trace"; exit 1; }

# Waits until the trace holds at least `count` lines matching the pattern.
expect() {
    local pattern="$1" what="$2" count="${3:-1}"
    for _ in $(seq 1 100); do
        [ "$(grep -c -E "$pattern" "$trace")" -ge "$count" ] && return 0
        sleep 0.1
    done
    fail "$what (fewer than $count lines matching '$pattern')"
}

"$demo" --trace --size 1320x760 --page fields >"$trace" 2>/dev/null &
pid=$!
expect '^ready$' "the showcase starts"
wid="$(xdotool search --sync --name '^qn_gui showcase$' | head -n 1)"
[ -n "$wid" ] || fail "the showcase window exists"
sleep 0.3

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

kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
rm -f "$trace"
echo "fields end-to-end: ok"
