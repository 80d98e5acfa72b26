#!/usr/bin/env bash
# Installs the Debian packages the builds and tests need, and generates the
# ja_JP.UTF-8 locale. Idempotent: does nothing (and no apt-get update) when
# everything is already there. Runs as root or through sudo.
set -euo pipefail

PACKAGES=(
  cmake g++ make clang clang-format libclang-rt-14-dev libstb-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-x86-64
  wine wine64
  xvfb xserver-xephyr xdotool xclip x11-utils x11-xserver-utils imagemagick
  locales fonts-ipafont-gothic
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good
  pulseaudio pulseaudio-utils sox lame
  python3 procps psmisc git ca-certificates
  icoutils unzip
  libx11-dev libxext-dev libxinerama-dev libxrandr-dev libxfixes-dev pkg-config libgtk-3-dev
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev gstreamer1.0-plugins-ugly gstreamer1.0-pulseaudio gstreamer1.0-tools
  xscreensaver xscreensaver-data dpkg-dev fakeroot file man-db groff-base x11-apps desktop-file-utils openbox
  dbus-daemon dbus-x11
)
# The package checks, without what they only recommend (a mail system, a
# build chain of their own), MATE's screen saver for its end-to-end test
# without the rest of the MATE desktop (its recommends are about 230 packages
# more), and the browser build: Emscripten, the web font's tools, and
# Chromium with the DevTools client of its tests.
PACKAGES_ALONE=(lintian devscripts mate-screensaver
  emscripten python3-fonttools python3-brotli chromium python3-websocket)

if [ "$(id -u)" -eq 0 ]; then
  SUDO=()
elif command -v sudo >/dev/null 2>&1; then
  SUDO=(sudo -n)
else
  echo "install-deps: need root or sudo" >&2
  exit 1
fi

installed() {
  [ "$(dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null)" = "installed" ]
}

missing=() missing_alone=()
for p in "${PACKAGES[@]}"; do
  installed "$p" || missing+=("$p")
done
for p in "${PACKAGES_ALONE[@]}"; do
  installed "$p" || missing_alone+=("$p")
done

if [ ${#missing[@]} -gt 0 ] || [ ${#missing_alone[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]} ${missing_alone[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${SUDO[@]}" apt-get update -qq
  # Recommends stay on: without them Wine cannot open MP3 files through GStreamer.
  [ ${#missing[@]} -eq 0 ] || "${SUDO[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
  [ ${#missing_alone[@]} -eq 0 ] ||
    "${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing_alone[@]}" >/dev/null
fi

# Japanese locale: Wine takes code page 932 from LC_ALL=ja_JP.UTF-8.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "install-deps: generating ja_JP.UTF-8"
  if ! grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    if grep -q '^# *ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
      "${SUDO[@]}" sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    else
      echo 'ja_JP.UTF-8 UTF-8' | "${SUDO[@]}" tee -a /etc/locale.gen >/dev/null
    fi
  fi
  "${SUDO[@]}" locale-gen >/dev/null
fi

# libFuzzer comes with clang's runtime package; make sure it links.
if ! echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long){return 0;}' \
     | clang++ -x c++ -fsanitize=fuzzer -o /dev/null - >/dev/null 2>&1; then
  echo "install-deps: clang -fsanitize=fuzzer does not link" >&2
  exit 1
fi
