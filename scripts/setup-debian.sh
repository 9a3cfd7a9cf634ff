#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Tamso AVI need.
# Idempotent: when every package is present it only checks and returns.
set -euo pipefail

packages=(
  # toolchain and build
  build-essential cmake ninja-build pkg-config git python3
  clang-14 libclang-rt-14-dev clang-format
  # test and benchmark libraries
  libgtest-dev libgmock-dev libbenchmark-dev
  # the JSON writer of tamso-avi-report (header-only)
  nlohmann-json3-dev
  # the window system and the tune
  qt6-base-dev qt6-qpa-plugins libgl-dev libxcb-shape0-dev
  libfluidsynth-dev libasound2-dev fluidsynth timgm6mb-soundfont
  # a sound server for the tune's tests and benchmark (a null sink takes the sound)
  pulseaudio pulseaudio-utils heaptrack
  # fonts the window asks for by name (metric-compatible stand-ins)
  fonts-liberation fonts-dejavu-core fontconfig
  # the Debian package and the checks of what it installs
  file lintian desktop-file-utils appstream man-db xdg-utils
  # line coverage (scripts/coverage.sh)
  gcovr
  # oracles for the AVI tests and benchmarks
  ffmpeg mediainfo hyperfine
  # two more AVI writers whose header layouts differ from ffmpeg's
  mencoder gstreamer1.0-tools gstreamer1.0-plugins-base gstreamer1.0-plugins-good
  # a real X server for the window tests, and the tools that drive and look at it
  xvfb xauth openbox xdotool x11-utils x11-apps x11-xserver-utils imagemagick sox
  # the other desktops of the window tests: an X11 compositing manager, and a headless
  # Wayland compositor with XWayland, its background, its screenshots and Qt's platform
  xcompmgr sway swaybg grim xwayland qt6-wayland libwayland-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  SUDO=sudo
else
  SUDO=
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
