# The button test host's buttons (tools/button_host.cpp) as its log places
# them, and the screen points the tests look at and click. Source after
# lib.sh.

# Buttons as the host placed them, in screen pixels: name -> "x y w h".
declare -A AT
# read_button_places LOG: AT from the Button lines of the host's log.
read_button_places() {
  while read -r _ name x y w h; do AT[$name]="$x $y $w $h"; done < <(tr -d '\r' <"$1" | grep '^Button ')
}

# Screen points of a button: its centre, the middle of its top edge (the
# frame's outer ring), and points inside the frame above and below the caption.
centre() { read -r x y w h <<<"${AT[$1]}"; echo "$((x + w / 2)) $((y + h / 2))"; }
top_edge() { read -r x y w h <<<"${AT[$1]}"; echo "$((x + w / 2)) $y"; }
inside_top() { read -r x y w h <<<"${AT[$1]}"; echo "$((x + 6)) $((y + 5))"; }
inside_bottom() { read -r x y w h <<<"${AT[$1]}"; echo "$((x + 6)) $((y + h - 6))"; }

# face_in FILE NAME: the colour of the button's frame ring in that screenshot.
face_in() { local p; p=$(top_edge "$2"); pixel "$1" ${p% *} ${p#* }; }
