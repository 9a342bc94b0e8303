#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the normal
# build first, then the AddressSanitizer + UndefinedBehaviorSanitizer build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
# A private print server for the test that prints through a real queue.
cups_dir=$(mktemp -d /tmp/kelvora-cups.XXXXXX)
trap 'scripts/test-cups.sh stop "$cups_dir"' EXIT
if cups_env=$(scripts/test-cups.sh start "$cups_dir"); then
  eval "$cups_env"
else
  echo "test.sh: no CUPS test queue (needs root, cups-daemon, printer-driver-cups-pdf); the CUPS print test skips"
fi
for preset in dev asan; do
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset" -j2 --timeout 300
done
