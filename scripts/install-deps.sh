#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need;
# with --fuzz also clang's libFuzzer for the decoders' fuzz targets (the fuzz
# preset, scripts/fuzz.sh). Run as root; does nothing when everything is
# already there.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-svg-dev libqt6svg6 libqt6printsupport6 qt6-translations-l10n
  libpng-dev libjpeg-dev libtiff-dev libgif-dev libwebp-dev libexif-dev
  libsane-dev libsane1 sane-utils
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation fonts-dejavu-core
  imagemagick xvfb xauth libxcb1-dev
  cups-daemon cups-client printer-driver-cups-pdf poppler-utils
  parallel
)
if [ "${1:-}" = --fuzz ]; then
  packages+=(clang libclang-rt-14-dev)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
