#!/usr/bin/env bash
# Makes the Wine data-protection test vectors (tests/dpapi/WineVectors.h) with a real Wine.
#
#   tools/wine_vectors/make_vectors.sh [OUTPUT]      (default: tests/dpapi/WineVectors.h)
#
# Builds wine_protect.exe with mingw-w64, runs it under Debian's wine in a fresh prefix of a
# temporary folder as the Wine user "dana" (USER is what Wine takes the account name from), and
# protects known texts with known entropy, and the map files of a small Messenger user folder.
# Every blob is checked by unprotecting it again in the same Wine. The old format (RC2 + MD5) is
# not made by any Wine that Debian ships: those vectors are computed from the documented
# algorithm with pycryptodome and labelled so. Not run by the tests; its output is committed.
#
# Needs: gcc-mingw-w64-x86-64, wine, wine64, python3-pycryptodome. No display: the program is a
# console program.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
output="${1:-$root/tests/dpapi/WineVectors.h}"
wine_user=dana

for tool in x86_64-w64-mingw32-gcc wine /usr/bin/python3; do
  command -v "$tool" >/dev/null || { echo "make_vectors.sh: $tool is missing" >&2; exit 1; }
done

work="$(mktemp -d)"
# The prefix's wineserver is stopped before its folder goes (it writes the registry on its way out).
trap 'WINEPREFIX="$work/prefix" wineserver -k >/dev/null 2>&1 || true; WINEPREFIX="$work/prefix" wineserver -w >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
x86_64-w64-mingw32-gcc -O2 -Wall -o "$work/wine_protect.exe" "$here/wine_protect.c" -lcrypt32

export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" USER="$wine_user" LOGNAME="$wine_user"
wine wineboot --init >/dev/null 2>&1 || true
name_hex="$(wine "$work/wine_protect.exe" user | tr -d '\r')"
[ "$name_hex" = "$(printf '%s' "$wine_user" | od -An -tx1 -v | tr -d ' \n')" ] \
  || { echo "make_vectors.sh: Wine runs as $name_hex, not $wine_user" >&2; exit 1; }

/usr/bin/python3 "$here/make_vectors.py" "$work" "$wine_user" "$(wine --version)" "$output"
echo "wrote $output"
