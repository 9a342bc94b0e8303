#!/usr/bin/env bash
# Builds the decoders' fuzz targets (the fuzz preset: clang's libFuzzer with
# AddressSanitizer and UndefinedBehaviorSanitizer) and runs each for SECONDS
# (default 10), seeded from tests/data. Inputs that reach new code are kept in
# build-fuzz/corpus/<target>/; a crash, leak, hang or oversized allocation
# stops its target and leaves the input as build-fuzz/findings/<target>-*.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]     targets: bmp pnm png jpeg gif tiff webp open
#
# The targets hold pictures to 8 MiB and check the heap's peak against that.
# FUZZ_SMALL_FILES=1 looks for slow decoding instead: files of at most 8 kB
# under the program's own limit of 1 GiB, each allowed 2 s (the sanitizers
# slow decoding about threefold).
#
# Needs clang and libclang-rt-14-dev (scripts/install-deps.sh --fuzz).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-10}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(bmp pnm png jpeg gif tiff webp open)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

declare -A seeds=([bmp]=bmp [pnm]=bmp [png]=png [jpeg]=jpeg [gif]=gif [tiff]=tiff [webp]=webp [open]=.)
mkdir -p build-fuzz/findings
cat fuzz/dict/*.dict >build-fuzz/open.dict # OpenDib meets every format
failed=0
for t in "${targets[@]}"; do
  corpus=build-fuzz/corpus/$t
  mkdir -p "$corpus"
  log=build-fuzz/fuzz-$t.log
  dict=fuzz/dict/$t.dict
  [ "$t" != open ] || dict=build-fuzz/open.dict
  # A single allocation past twice the limit stops a target at once; a file
  # that takes more than 5 s (under the sanitizers) is a hang.
  limits=(-timeout=5 -malloc_limit_mb=16 -rss_limit_mb=1536 -max_len=200000)
  if [ -n "${FUZZ_SMALL_FILES:-}" ]; then
    export KELVORA_FUZZ_LIMIT_MB=1024
    limits=(-timeout=2 -malloc_limit_mb=2048 -rss_limit_mb=4096 -max_len=8192)
  fi
  if build-fuzz/fuzz/fuzz_$t "$corpus" "tests/data/${seeds[$t]}" tests/data/fuzz \
      -max_total_time="$seconds" "${limits[@]}" -dict="$dict" -print_final_stats=1 \
      -artifact_prefix="build-fuzz/findings/$t-" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz_$t: ${runs:-?} runs in ${seconds} s, nothing found (corpus: $(ls "$corpus" | wc -l) files)"
  else
    echo "fuzz_$t: FOUND something, see $log and build-fuzz/findings/"
    grep -E "^==[0-9]+==ERROR|runtime error|^SUMMARY" "$log" | head -5 || true
    failed=1
  fi
done
exit $failed
