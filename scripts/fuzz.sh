#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer (the "fuzz" preset) and runs each on its
# corpus, one after the other, at the lowest priority. The normal build and tests never need
# clang; this script installs it (scripts/deps.sh --fuzz).
#   scripts/fuzz.sh [SECONDS-PER-TARGET] [TARGET...]     (default 600 s, every target)
# New inputs land in build/fuzz/corpus/<target>, crashes in build/fuzz/findings/<target>/.
# Exits with 1 when a target found something.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh --fuzz
SECONDS_EACH=${1:-600}
shift || true
cmake --preset fuzz
cmake --build --preset fuzz
TARGETS=("$@")
if [ ${#TARGETS[@]} -eq 0 ]; then
  for src in tests/fuzz/fuzz_*.cpp; do
    name=$(basename "$src" .cpp)
    TARGETS+=("${name#fuzz_}")
  done
fi
failed=()
for t in "${TARGETS[@]}"; do
  mkdir -p "build/fuzz/corpus/$t" "build/fuzz/findings/$t"
  echo "== $t =="
  if ! nice -n 19 "build/fuzz/tests/fuzz/fuzz_$t" -max_total_time="$SECONDS_EACH" -rss_limit_mb=2048 \
      -artifact_prefix="build/fuzz/findings/$t/" "build/fuzz/corpus/$t" "tests/fuzz/corpus/$t"; then
    failed+=("$t")
  fi
done
if [ ${#failed[@]} -ne 0 ]; then
  echo "findings: ${failed[*]} (see build/fuzz/findings/)"
  exit 1
fi
