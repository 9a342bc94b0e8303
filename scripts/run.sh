#!/usr/bin/env bash
# Installs what is missing, builds, and starts Kelvora (arguments: an image to open).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2 --target kelvora
exec build/src/app/kelvora "$@"
