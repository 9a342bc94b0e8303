#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the normal
# build first, then the AddressSanitizer + UndefinedBehaviorSanitizer build,
# then a few seconds of each decoder's fuzz target under clang's libFuzzer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --fuzz
export QT_QPA_PLATFORM=offscreen
# A private print server for the test that prints through a real queue, and
# an X server on a free display for the tests that look at the screen.
cups_dir=$(mktemp -d /tmp/kelvora-cups.XXXXXX)
xvfb=
trap 'scripts/test-cups.sh stop "$cups_dir"; [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true' EXIT
if cups_env=$(scripts/test-cups.sh start "$cups_dir"); then
  eval "$cups_env"
else
  echo "test.sh: no CUPS test queue (needs root, cups-daemon, printer-driver-cups-pdf); the CUPS print test skips"
fi
exec {display_fd}<> <(:)
Xvfb -displayfd "$display_fd" -screen 0 2560x2048x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
read -r -t 10 -u "$display_fd" display && export DISPLAY=":$display" ||
  echo "test.sh: Xvfb did not start; the screen tests will start their own or skip" >&2
for preset in dev asan; do
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset" -j2 --timeout 300
done

fuzzer_probe='extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }'
if echo "$fuzzer_probe" | clang++ -x c++ -fsanitize=fuzzer - -o /dev/null 2>/dev/null; then
  scripts/fuzz.sh 5
else
  echo "fuzz smoke skipped: no clang with libFuzzer (packages clang, libclang-rt-14-dev)"
fi
