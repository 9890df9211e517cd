#!/usr/bin/env bash
# Installs every package needed to build, run, test and benchmark the jukebox
# on Debian 12. Safe to run again: packages already present are skipped by apt.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake ninja-build pkg-config clang-format git
  # clang with libFuzzer, for the parsers' fuzz targets (fuzz/)
  clang
  # Qt 6 widgets, printing, OpenGL video surface, and what Qt loads at run time
  qt6-base-dev libqt6opengl6-dev libqt6openglwidgets6 qt6-qpa-plugins
  qt6-translations-l10n qt6-image-formats-plugins libqt6sql6-sqlite
  libgl1-mesa-dri libglx-mesa0 libegl1 fontconfig
  # media playback, MIDI rendering, capture
  libmpv-dev libfluidsynth-dev timgm6mb-soundfont libasound2-dev alsa-utils libasound2-plugins
  # loudness: the sound of media files decoded by FFmpeg, measured after EBU R128
  libebur128-dev libavformat-dev libavcodec-dev libswresample-dev libavutil-dev
  # the singing score: the pitch of the guide vocal and of the microphone
  libaubio-dev
  # spreadsheet files (.xls container, .xlsx)
  libgsf-1-dev libxlsxwriter-dev
  # catalogue
  libsqlite3-dev sqlite3 libicu-dev
  # the shared catalogue server of a venue with several rooms (libpq; the server for the tests)
  libpq-dev postgresql
  # fonts standing in for the Kai and Ming faces
  fonts-arphic-ukai fonts-arphic-uming
  # tests and benchmarks
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  ffmpeg sox xvfb xauth xdotool imagemagick ghostscript poppler-utils python3-xlrd python3-openpyxl
  # phone ordering: the web server, the QR code, and the browser its page is tested in
  libmicrohttpd-dev libqrencode-dev chromium chromium-driver python3-selenium zbar-tools
  # the mpv player itself, the floor the playback benchmarks compare against
  mpv
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: everything is installed"
  exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
