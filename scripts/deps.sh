#!/usr/bin/env bash
# Installs every Debian package the build, the demo installation and the tests need.
# One list for the README commands and CI; safe to run again.
set -euo pipefail

PACKAGES=(
  # toolchain
  cmake ninja-build g++ pkg-config clang-format mold
  # Qt
  qt6-base-dev qt6-svg-dev qt6-charts-dev libqt6opengl6-dev qt6-tools-dev qt6-qpa-plugins libqt6svg6
  # platform libraries
  libsqlcipher-dev libpulse-dev libsndfile1-dev libxrandr-dev libx11-dev
  libchm-dev libjpeg62-turbo-dev zlib1g-dev
  libpocketsphinx-dev libsphinxbase-dev pocketsphinx-en-us libespeak-ng-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  # the parsers' fuzz targets (scripts/fuzz.sh)
  clang libfuzzer-14-dev
  # services and tools the build, demo and tests start
  pulseaudio pulseaudio-utils
  xserver-xorg-core xserver-xorg-video-dummy xvfb x11-xserver-utils xdotool
  espeak-ng flite sox libsox-fmt-base fp-utils imagemagick
  fonts-arphic-uming fonts-liberation
  # packaging and the package test
  ccache dpkg-dev file fakeroot lintian appstream desktop-file-utils librsvg2-bin mmdebstrap
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
