#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the normal
# build first, then the AddressSanitizer + UndefinedBehaviorSanitizer build,
# then a few seconds of each decoder's fuzz target when clang's libFuzzer is
# installed (scripts/install-deps.sh --fuzz).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
for preset in dev asan; do
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset" -j2 --timeout 300
done

fuzzer_probe='extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }'
if echo "$fuzzer_probe" | clang++ -x c++ -fsanitize=fuzzer - -o /dev/null 2>/dev/null; then
  scripts/fuzz.sh 5
else
  echo "fuzz smoke skipped: no clang with libFuzzer (scripts/install-deps.sh --fuzz)"
fi
