# Sourced by the shell tests: strict mode, a temporary folder "$tmp" removed on exit, and
# fail MESSAGE, which reports and ends the test.
set -euo pipefail
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
