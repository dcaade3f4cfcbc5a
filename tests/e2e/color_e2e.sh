#!/usr/bin/env bash
# Picks a colour on the showcase's Controls page as a user would, with xdotool on the test's
# X server: the Tint field's swatch opens the colour picker, a click in the picking area
# changes the colour, a hue typed into the H field turns it green, and Ok confirms. The page
# traces "color at PART x y w h" (the field at start, the dialog's parts when it opens) and
# "color changing|changed r g b hue h" and "color ok".
#   tests/e2e/color_e2e.sh path/to/qn_demo
set -uo pipefail
source "$(dirname "$0")/e2e_session.sh"
start_showcase "$1" --page controls

# "color at PART x y w h": field N of that line.
at() { awk -v name="$1" -v n="$2" '$1 == "color" && $2 == "at" && $3 == name { v = $n } END { print v }' "$trace"; }
middle_x() { echo $(($(at "$1" 4) + $(at "$1" 6) / 2)); }
middle_y() { echo $(($(at "$1" 5) + $(at "$1" 7) / 2)); }

expect '^color at field ' "the page traces where the colour field is"
xdotool mousemove --window "$wid" "$(middle_x field)" "$(middle_y field)" click 1
expect '^color dialog open$' "the swatch opens the colour picker"
dialog="$(xdotool search --sync --name '^Color Picker$' | head -n 1)"
[ -n "$dialog" ] || fail "the colour picker window exists"
sleep 0.3

# In the hue mode the area spans saturation (x) and value (y, upwards): a click at three
# quarters across and a quarter down keeps the hue and changes the rest.
ax=$(($(at area 4) + $(at area 6) * 3 / 4))
ay=$(($(at area 5) + $(at area 7) / 4))
xdotool mousemove --window "$dialog" "$ax" "$ay" click 1
expect '^color changing [0-9.]+ [0-9.]+ [0-9.]+ hue 17\.1$' "a click in the area changes the colour, not its hue"

# A hue of 120 degrees typed into the H field.
xdotool mousemove --window "$dialog" "$(middle_x hue)" "$(middle_y hue)" click 1
sleep 0.1
xdotool key ctrl+a
xdotool type --delay 20 "120"
xdotool key Return
expect '^color changing 0\.[0-9]+ 0\.7[0-9]+ 0\.[0-9]+ hue 120\.0$' "the typed hue turns the colour green"

# Ok confirms: the field reports the change and the dialog its answer.
xdotool mousemove --window "$dialog" "$(middle_x ok)" "$(middle_y ok)" click 1
expect '^color ok$' "Ok answers the dialog"
expect '^color changed 0\.[0-9]+ 0\.7[0-9]+ 0\.[0-9]+ hue 120\.0$' "the field keeps the picked colour"

end_session color
