#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite: once in the normal build and
# once under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
JOBS=$(nproc)
for preset in default sanitize; do
  echo "== $preset build =="
  cmake --preset "$preset"
  cmake --build --preset "$preset" -j "$JOBS"
  echo "== $preset tests =="
  ctest --preset "$preset" -j "$JOBS"
done
