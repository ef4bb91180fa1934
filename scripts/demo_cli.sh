#!/usr/bin/env bash
# The demo through the command line, for a machine without a display: scans the demo profile,
# backs up Alice's content with the demo password, lists the package, exports her content under
# its names as a web page, and says where the results are.
# Usage: scripts/demo_cli.sh [BUILD_DIR [OUT_DIR]]
#   BUILD_DIR  the build folder (default build/default)
#   OUT_DIR    where the results go (default build/demo-output; emptied first)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=$(realpath "${1:-build/default}")
OUT=$(realpath -m "${2:-build/demo-output}")
CLI=$BUILD/src/cli/zorvak-cli
DEMO=$(dirname "$OUT")/demo-profile
[ -n "${ZORVAK_DEMO_DIR:-}" ] && DEMO=$ZORVAK_DEMO_DIR

if [ ! -d "$DEMO/Documents and Settings/Alice" ]; then
  "$BUILD/tools/demo_profile/zorvak-demo-profile" "$DEMO" >/dev/null
fi
APPDATA_DIR="$DEMO/Documents and Settings/Alice/Application Data"
ALICE="$APPDATA_DIR/Microsoft/MSN Messenger/1596456324"
EMAIL=alice.demo@hotmail.com

rm -rf "$OUT"
mkdir -p "$OUT"
# The demo password goes through a file, not the command line (where every user could read it).
PASSWORD_FILE=$(mktemp)
trap 'rm -f "$PASSWORD_FILE"' EXIT
printf '%s\n' zorvak-demo > "$PASSWORD_FILE"

echo "== The Messenger folders of the demo profile (zorvak-cli scan)"
"$CLI" scan --appdata "$APPDATA_DIR" | tee "$OUT/scan.tsv"
echo
echo "== Alice's content backed up with the demo password (zorvak-cli backup)"
"$CLI" backup "$ALICE" --email "$EMAIL" --password-file "$PASSWORD_FILE" --out "$OUT/Alice.mco" \
  | tee "$OUT/backup.tsv"
echo
echo "== What the package holds (zorvak-cli cab list)"
"$CLI" cab list "$OUT/Alice.mco" | tee "$OUT/Alice.mco.tsv"

echo
echo "== Alice's content under the names she gave it, as a web page (zorvak-cli export --named)"
"$CLI" export "$ALICE" "$OUT/Alice-named" --named --format html --email "$EMAIL" --password-file "$PASSWORD_FILE" \
  | tee "$OUT/named.tsv"

echo
echo "Results in $OUT:"
echo "  scan.tsv        the folder tree the scan found"
echo "  Alice.mco       the backup package (install it with: $CLI install \"$OUT/Alice.mco\")"
echo "  backup.tsv      the packages written and their numbers of items"
echo "  Alice.mco.tsv   the files in the package"
echo "  Alice-named/    every object under its own name; open Alice-named/index.html in a browser"
echo "The demo profile is in $DEMO (e-mail $EMAIL, Windows password zorvak-demo)."
