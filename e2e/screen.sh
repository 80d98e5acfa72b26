# Screen helpers of the end-to-end tests, for any program on an X server:
# windows found by title, the pointer and the keyboard through xdotool,
# screenshots and their pixels (ImageMagick), the rings' and the light rays'
# pictures, the animations' pace. Sourced after e2e/harness.sh.

# wait_window TITLE [SECONDS]: prints the X window id of the visible window
# with exactly this title; fails when none appears in time (default 20 s).
# xdotool's search gives up at once when a window goes away while it looks
# (another program's closing): it is asked again until the time is up.
wait_window() {
  local title="$1" limit="${2:-20}" end id left
  end=$((SECONDS + limit))
  while :; do
    left=$((end - SECONDS))
    [ "$left" -ge 1 ] || left=1
    id=$(timeout "$left" xdotool search --sync --onlyvisible --name "^${title}\$" 2>/dev/null | head -n 1)
    if [ -n "$id" ]; then
      printf '%s\n' "$id"
      return 0
    fi
    [ "$SECONDS" -lt "$end" ] || break
    sleep 0.1
  done
  log "timed out after $limit s waiting for a window titled '$title'" >&2
  return 1
}

# window_shows TITLE [SECONDS]: a window with exactly this title shows (wait_window).
window_shows() { wait_window "$@" >/dev/null; }

# window_seen PID TITLE SECONDS: prints 1 when a window with exactly this
# title showed while PID ran (looked for every 0.1 s, for at most SECONDS), else 0.
window_seen() {
  local pid="$1" title="$2" steps=$(($3 * 10)) seen=0 _
  for _ in $(seq 1 "$steps"); do
    alive "$pid" || break
    [ "$(window_count "$title")" -gt 0 ] && seen=1
    sleep 0.1
  done
  echo "$seen"
}

# find_window NAME: the X id of a visible window whose title matches NAME
# (a regular expression), within 10 s; nothing when none came.
find_window() {
  local id end=$((SECONDS + 10))
  while [ "$SECONDS" -lt "$end" ]; do
    id=$(timeout 10 xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n 1)
    [ -n "$id" ] && { printf '%s\n' "$id"; return 0; }
    sleep 0.1
  done
}
# gone_within SECONDS NAME: true once no visible window matches NAME.
gone_within() {
  wait_until "$1" "no visible window named '$2'" no_window "$2"
}

# window_pos WIN / window_size WIN: "X Y" of its top-left corner, "W H" of its size.
window_pos() {
  local X Y WIDTH HEIGHT SCREEN
  eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null)"
  echo "${X:-} ${Y:-}"
}
window_size() {
  local X Y WIDTH HEIGHT SCREEN
  eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null)"
  echo "${WIDTH:-} ${HEIGHT:-}"
}

# log_screen DIR: what was on screen when an expected window did not come:
# the names of the visible windows, the saver's output, and a screenshot
# DIR/screen.png for the logs.
log_screen() {
  local id
  log "visible windows:"
  for id in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
    log "  $id '$(xdotool getwindowname "$id" 2>/dev/null)'"
  done
  [ -s "$1/saver.log" ] && sed 's/^/    saver: /' "$1/saver.log" | head -n 20
  screenshot "$1/screen.png" 2>/dev/null && log "screenshot: $1/screen.png"
}

# paste_text TEXT: puts TEXT (UTF-8) on the clipboard and, once the clipboard
# gives it back, pastes it into the focused edit box with Ctrl+V.
paste_text() {
  printf '%s' "$1" | xclip -selection clipboard -i
  wait_until 10 "the clipboard to hold the text" clipboard_holds "$1" || return 1
  xdotool key ctrl+v
}
clipboard_holds() { [ "$(timeout 2 xclip -selection clipboard -o 2>/dev/null)" = "$1" ]; }

# focus_window WIN: gives WIN the keyboard focus and waits until it has it.
focus_window() {
  timeout 5 xdotool windowfocus --sync "$1" 2>/dev/null
  wait_until 5 "the focus on window $1" has_focus "$1"
}
has_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }

# no_window NAME: true when no visible window's title matches NAME.
no_window() { ! xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }

# window_count TITLE: number of visible windows with exactly this title.
window_count() {
  xdotool search --onlyvisible --name "^${1}\$" 2>/dev/null | wc -l
}

# send_key KEY...: the keys to the window WIN, or to the focus when there is
# no such window.
send_key() {
  if [ -n "${WIN:-}" ]; then xdotool key --window "$WIN" "$@" 2>/dev/null && return; fi
  xdotool key "$@"
}

# --- Pictures ------------------------------------------------------------------

screenshot() {
  import -display "$DISPLAY" -window root "$1"
}

# settled_screenshot FILE [SECONDS]: waits until two screenshots a second apart
# agree (a picture holding still) and keeps the last in FILE; at most SECONDS
# (default 30).
settled_screenshot() {
  local i prev="$1.prev.png" limit="${2:-30}"
  screenshot "$prev"
  for i in $(seq 1 "$limit"); do
    sleep 1
    screenshot "$1"
    if ! screens_differ "$prev" "$1"; then
      rm -f "$prev"
      return 0
    fi
    mv "$1" "$prev"
  done
  mv "$prev" "$1"
  log "timed out after $limit s waiting for two equal screenshots a second apart"
  return 1
}

# shot_until SECONDS FILE TEST [ARGS...]: takes screenshots into FILE until
# "TEST FILE ARGS..." succeeds; after SECONDS it fails with the last one in
# FILE and TEST's own words about it.
shot_until() {
  local limit="$1" file="$2" end
  shift 2
  end=$((SECONDS + limit))
  while :; do
    screenshot "$file" && "$1" "$file" "${@:2}" >/dev/null 2>&1 && return 0
    if [ "$SECONDS" -ge "$end" ]; then
      log "timed out after $limit s waiting for $* in a screenshot"
      "$1" "$file" "${@:2}"
      return 1
    fi
    sleep 0.1
  done
}

# pixel FILE X Y: prints the colour as RRGGBB (upper-case hex).
pixel() {
  convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- | sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | tr a-f A-F
}

# channel FILE X Y r|g|b: one colour channel of a pixel (0-255).
channel() {
  local c
  c=$(pixel "$1" "$2" "$3")
  case "$4" in
    r) echo $((16#${c:0:2})) ;;
    g) echo $((16#${c:2:2})) ;;
    b) echo $((16#${c:4:2})) ;;
  esac
}

# is_colour FILE X Y RRGGBB: the pixel has exactly this colour; logs the one
# it has otherwise.
is_colour() {
  local c
  c=$(pixel "$1" "$2" "$3")
  [ "$c" = "$4" ] && return 0
  log "pixel ($2, $3) of $(basename "$1") is ${c:-unreadable}, not $4"
  return 1
}

# other_pixels FILE RRGGBB [WxH+X+Y]: how many pixels of the picture (or of
# that area) are neither this colour nor black, the screen before anything is
# drawn on it.
other_pixels() {
  local crop=()
  [ -n "${3:-}" ] && crop=(-crop "$3" +repage)
  convert "$1" "${crop[@]}" -fill black -opaque "#$2" -fill white +opaque black \
    -format '%[fx:int(mean*w*h+0.5)]' info:
}

# area_mean FILE WxH+X+Y: the mean brightness of an area, 0 (black) to 1.
area_mean() { convert "$1" -crop "$2" -format '%[fx:mean]' info:; }

# The settings window's light-ray picture, 320 x 240 inside the window whose
# top-left corner is WX, WY.
rays_area() { echo "320x240+$((WX + 22))+$((WY + 42))"; }
# rays_brightness FILE: the picture's mean brightness in a screenshot.
rays_brightness() { area_mean "$1" "$(rays_area)"; }
# rays_above FILE MIN: the picture is brighter than MIN.
rays_above() {
  local v
  v=$(rays_brightness "$1")
  above "$v" "$2" && return 0
  log "the rays' mean brightness is $v, not above $2"
  return 1
}
# rays_share FILE RRGGBB: the share of the picture's pixels in that colour,
# times its brightness (0 when none is).
rays_share() { convert "$1" -crop "$(rays_area)" +repage -fill black +opaque "#$2" -format '%[fx:mean]' info:; }

# screen_hash FILE: a digest of the picture's pixels.
screen_hash() { convert "$1" -depth 8 rgb:- | md5sum; }

# screens_differ A B: true when two screenshots differ.
screens_differ() {
  ! cmp -s <(convert "$1" -depth 8 rgb:-) <(convert "$2" -depth 8 rgb:-)
}
screens_equal() { ! screens_differ "$1" "$2"; }

# areas_equal A B WxH+X+Y: the same area of two screenshots holds the same pixels.
areas_equal() {
  cmp -s <(convert "$1" -crop "$3" +repage -depth 8 rgb:-) <(convert "$2" -crop "$3" +repage -depth 8 rgb:-)
}
areas_differ() { ! areas_equal "$@"; }

# main_colour FILE: the most frequent colour, RRGGBB (upper-case hex).
main_colour() {
  convert "$1" -depth 8 -format '%c' histogram:info:- |
    sort -rn | head -n 1 | sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | tr a-f A-F
}

# --- The animations' pace -----------------------------------------------------------

# cycle_timing BG [SECONDS]: for a display with a stop time of 0 on a fixed
# BG background (RRGGBB): screenshots one after another, from the first that
# shows the background (the window and its first cycle) until the next cycle
# clears the picture (its ring pixels drop to under half), for at most SECONDS
# (default 20). Call it as soon as the program is started: a cycle takes a
# second. CYCLE_SECONDS is the time between those two shots, SHOT_GAP the
# longest time between two shots (what the measure may be off by at either end).
cycle_timing() {
  local bg="$1" end=$((SECONDS + ${2:-20})) shot="$E2E_TEST_WORK/timing.png" t first="" prev="" rings last=0
  CYCLE_SECONDS="" SHOT_GAP=0
  while [ "$SECONDS" -lt "$end" ]; do
    t=$(now)
    screenshot "$shot" || continue
    [ -n "$prev" ] && SHOT_GAP=$(awk -v g="$SHOT_GAP" -v a="$prev" -v b="$t" 'BEGIN{d = b - a; printf "%.3f", (d > g ? d : g)}')
    prev=$t
    # One-pixel rings never cover a whole corner: the background shows there.
    if [ -z "$first" ]; then
      [ "$(other_pixels "$shot" "$bg" 64x64+0+0)" -lt 4096 ] || continue
      first=$t
    fi
    rings=$(other_pixels "$shot" "$bg")
    if [ $((rings * 2)) -lt "$last" ]; then
      CYCLE_SECONDS=$(awk -v a="$first" -v b="$t" 'BEGIN{printf "%.3f", b - a}')
      return 0
    fi
    last=$rings
  done
  log "timed out after ${2:-20} s waiting for the next cycle to clear the picture"
  return 1
}

# cycles_within SECONDS: reads the screen twenty times a second for SECONDS
# (tools/colour_sampler of the native build). NEW_CYCLES is how often the
# most frequent colour (the random background a new cycle brings) changed
# from one reading to the next, SHOT_RATE the readings a second: fast
# enough to count a strobe of up to ten cycles a second.
COLOUR_SAMPLER="$REPO/build/linux/tools/colour_sampler"
cycles_within() {
  local samples="$E2E_TEST_WORK/colours.txt"
  NEW_CYCLES=0 SHOT_RATE=0
  if [ ! -x "$COLOUR_SAMPLER" ]; then
    log "no $COLOUR_SAMPLER (the linux preset builds it)"
    return 1
  fi
  "$COLOUR_SAMPLER" "$1" 50 >"$samples"
  NEW_CYCLES=$(awk 'NR > 1 && $2 != previous {n++} {previous = $2} END {print n + 0}' "$samples")
  SHOT_RATE=$(awk -v s="$1" 'END {printf "%.1f", NR / s}' "$samples")
}

# check_no_strobe: watches a display with a stop time of 0 and random
# backgrounds for 6 s (cycles_within) and checks that new cycles come, but at
# most three a second, and that the readings came fast enough to tell.
check_no_strobe() {
  cycles_within 6
  figure new_cycles "$NEW_CYCLES"
  figure readings_per_second "$SHOT_RATE"
  check "the screen is read ten or more times a second ($SHOT_RATE)" at_least "$SHOT_RATE" 10
  check "at most 3 new cycles a second ($NEW_CYCLES in 6 s)" at_most "$NEW_CYCLES" 18
  check "new cycles still come ($NEW_CYCLES in 6 s)" at_least "$NEW_CYCLES" 2
}

# rays_not_flat FILE: the light-ray picture is no flat square: under half of
# it at the brightest step, RGB(255, 255, 128), and many colours in it.
rays_not_flat() {
  local brightest colours
  brightest=$(convert "$1" -crop "$(rays_area)" +repage -fill black +opaque '#FFFF80' -fill white -opaque '#FFFF80' \
    -format '%[fx:mean]' info:)
  colours=$(convert "$1" -crop "$(rays_area)" +repage -format '%k' info:)
  log "the rays' picture: $colours colours, a share of $brightest at the brightest step"
  below "$brightest" 0.5 && [ "$colours" -gt 16 ]
}

# rings ARGS...: the picture analysis of e2e/rings.py.
rings() {
  python3 "$E2E_HARNESS_DIR/rings.py" "$@"
}

# ring_pixels FILE RRGGBB: how many pixels of a screenshot are rings on that background.
ring_pixels() { rings stats "$1" "$2" | sed -n 's/.* ring_pixels=\([0-9]*\) .*/\1/p'; }

# rings_shown FILE RRGGBB [MIN]: the picture shows rings on that background:
# at least half of it is the background (a black screen, where nothing was
# drawn, has no ring pixels then) and more than MIN (1000) pixels are rings.
rings_shown() {
  local stats
  stats=$(rings stats "$1" "$2")
  awk -v min="${3:-1000}" '{for (i = 1; i <= NF; i++) {split($i, kv, "="); v[kv[1]] = kv[2]}}
    END {exit !(v["background"] >= 0.5 && v["ring_pixels"] > min)}' <<<"$stats"
}
