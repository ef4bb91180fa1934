#!/usr/bin/env bash
# scripts/demo_cli.sh, the demo that scripts/run.sh runs on a machine without a display: it must
# make the package and the listings it announces, in a folder of its own, from the demo profile.
set -euo pipefail
src=$1
build=$2
source "$(dirname "${BASH_SOURCE[0]}")/../support/script_test.sh"

mkdir -p "$tmp/home"
env -u DISPLAY -u WAYLAND_DISPLAY -u APPDATA -u WINEPREFIX -u XDG_DATA_HOME HOME="$tmp/home" \
  ZORVAK_DEMO_DIR="$tmp/demo" bash "$src/scripts/demo_cli.sh" "$build" "$tmp/out" > "$tmp/log" 2>&1 \
  || { cat "$tmp/log"; fail "demo_cli.sh"; }
out=$tmp/out
[ -s "$out/Alice.mco" ] || fail "no package"
grep -q "	1596456324	1	" "$out/scan.tsv" || fail "the scan did not find Alice's folder"
grep -q "^$out/Alice.mco	[0-9][0-9]*$" "$out/backup.tsv" || fail "backup.tsv: $(cat "$out/backup.tsv")"
grep -q "^content.xml	" "$out/Alice.mco.tsv" || fail "the listing has no content.xml"
grep -q "Results in $out:" "$tmp/log" || fail "the results' folder is not told"
# The listing is the package's: as many files as items, plus content.xml.
items=$(cut -f2 "$out/backup.tsv")
[ "$(wc -l < "$out/Alice.mco.tsv")" -eq $((items + 1)) ] || fail "listing and item count differ"
# The named export wrote a well-formed page that shows a picture of each object it listed.
page=$out/Alice-named/index.html
[ -s "$page" ] || fail "no index.html"
python3 -c 'import sys, xml.dom.minidom; xml.dom.minidom.parse(sys.argv[1])' "$page" || fail "index.html is not well-formed"
[ "$(wc -l < "$out/named.tsv")" -ge 10 ] || fail "named.tsv: $(cat "$out/named.tsv")"
grep -q "Blinking smile" "$page" || fail "the page does not show the names"
# The password file is gone once the run ends.
! grep -rq zorvak-demo "$out" || fail "the password is left in the results"
echo "demo through the command line: $(wc -l < "$out/Alice.mco.tsv") files in the package"
