# Wine environment of the builds and tests. Source it:  . scripts/wine-env.sh
# WINEPREFIX defaults to build/wineprefix of the repository; set it before
# sourcing to use another one.

TESS_REPO="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export TESS_REPO
# shellcheck source=background.sh
. "$TESS_REPO/scripts/background.sh"
export WINEPREFIX="${WINEPREFIX:-$TESS_REPO/build/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=ja_JP.UTF-8
export WINEARCH=win64
# Debian's /usr/bin/wine falls back to wine64 when wine32 is missing, which is
# what runs our 64-bit programs; without the wrapper call the loader directly.
if [ -z "${WINE:-}" ]; then
  if command -v wine >/dev/null 2>&1; then
    WINE=wine
  else
    WINE=/usr/lib/wine/wine64
  fi
fi
export WINE

# The Japanese system font's names point at IPA's proportional Gothic; the
# names qualified with the Shift-JIS character set (128) keep its Latin
# letters when the system's code page is not 932.
wine_font_substitutes() {
  local key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' name
  for name in 'ＭＳ Ｐゴシック' 'MS PGothic'; do
    wine_reg_add "$key" "$name" IPAPGothic && wine_reg_add "$key" "$name,128" 'IPAPGothic,128' || return 1
  done
}

# wine_reg_add KEY NAME TEXT: sets a string value. Right after a new
# prefix is made, reg.exe has been seen to fail once on a loaded machine:
# it is tried three times, and the last failure's words go to stderr.
wine_reg_add() {
  local try out
  for try in 1 2 3; do
    out=$("$WINE" reg add "$1" /v "$2" /t REG_SZ /d "$3" /f 2>&1 </dev/null) && return 0
    sleep "$try"
  done
  printf 'reg add "%s" /v "%s" failed three times: %s\n' "$1" "$2" "$(tr -d '\r' <<<"$out" | tail -n 3)" >&2
  return 1
}

# Creates the prefix on first use (about 700 MB, 5-30 s), sets the Japanese
# font substitutes, and makes sure a persistent wineserver runs for it.
# Safe to call from several processes at once.
wine_prefix_init() {
  mkdir -p "$WINEPREFIX"
  (
    flock 9
    # The lock descriptor is closed for everything Wine starts: the server and
    # the services outlive this call and would hold the lock forever.
    # Persistent server first, so that nothing Wine starts brings up its own
    # short-lived one. A second -p while one runs simply exits.
    wineserver -p >/dev/null 2>&1 9>&- || true
    if [ ! -f "$WINEPREFIX/.tess-ready" ]; then
      "$WINE" wineboot -i >/dev/null 2>&1 9>&- || { echo "wine_prefix_init: wineboot failed" >&2; exit 1; }
      wine_font_substitutes 9>&- || { echo "wine_prefix_init: reg add failed" >&2; exit 1; }
      touch "$WINEPREFIX/.tess-ready"
    else
      # Starts the prefix's services here, away from the caller's output: a
      # service started by a later program would inherit its pipes and keep
      # a reader such as ctest waiting for as long as the server lives.
      "$WINE" wineboot >/dev/null 2>&1 9>&- </dev/null || true
    fi
  ) 9>"$WINEPREFIX.lock"
}

# Ends every Wine process of the prefix and the wineserver itself; waits for
# at most 30 s (exit traps call it, and their time is the suite's).
wine_prefix_stop() {
  timeout -k 5 20 wineserver -k >/dev/null 2>&1 || true
  timeout -k 5 30 wineserver -w >/dev/null 2>&1 || true
}

# Ends the prefix's server and starts it again: Wine's server and desktop
# belong to one screen and one locale, so after a change of DISPLAY or LC_ALL
# they must start anew.
wine_prefix_restart() {
  wine_prefix_stop
  wine_prefix_init
}

# wine_session_start [SCREEN]: a private screen (xvfb_start) and the prefix's
# server on it. Pair with wine_session_stop (e.g. in an EXIT trap).
wine_session_start() {
  xvfb_start "${1:-1024x768x24}" || return 1
  wine_prefix_restart
}

wine_session_stop() {
  wine_prefix_stop
  xvfb_stop
}
