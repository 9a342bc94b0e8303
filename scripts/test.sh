#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the normal
# build first, then the AddressSanitizer + UndefinedBehaviorSanitizer build.
# The tests that look at the screen get an Xvfb of their own on a free display.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
exec {display_fd}<> <(:)
Xvfb -displayfd "$display_fd" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
read -r -t 10 -u "$display_fd" display && export DISPLAY=":$display" ||
  echo "test.sh: Xvfb did not start; the screen tests will start their own or skip" >&2
for preset in dev asan; do
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset" -j2 --timeout 300
done
