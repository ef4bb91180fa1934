#!/usr/bin/env bash
# Installs the build into a temporary prefix, validates the desktop entry, the AppStream metainfo
# and the MIME definition there, checks that an .mco file is recognised by that definition, then
# builds the Debian package and lists it. Every missing tool fails the test.
set -euo pipefail
build=$1
src=$2
source "$(dirname "${BASH_SOURCE[0]}")/../support/script_test.sh"

cmake --install "$build" --prefix "$tmp/usr" > "$tmp/install.log" || fail "cmake --install"
share=$tmp/usr/share
id=org.zorvak.Zorvak
for f in bin/zorvak bin/zorvak-cli share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
         share/mime/packages/$id.xml share/icons/hicolor/scalable/apps/$id.svg \
         share/icons/hicolor/48x48/apps/$id.png share/icons/hicolor/256x256/apps/$id.png \
         share/man/man1/zorvak.1.gz share/man/man1/zorvak-cli.1.gz; do
  [ -s "$tmp/usr/$f" ] || fail "not installed: $f"
done
file -b --mime-type "$share/icons/hicolor/48x48/apps/$id.png" | grep -qx image/png || fail "48 px icon is no PNG"

desktop-file-validate "$share/applications/$id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"
# The desktop entry's icon and program exist under those names in the installed tree.
grep -qx "Icon=$id" "$share/applications/$id.desktop" || fail "icon name"
grep -qx "Exec=zorvak %f" "$share/applications/$id.desktop" || fail "program name and its file argument"
# The program claims MCO packages only: listing the generic cabinet type would make it the default
# program for every cabinet (they still open with it through "Open with").
grep -qx "MimeType=application/x-messenger-content;" \
  "$share/applications/$id.desktop" || fail "MIME types of the desktop entry"

# An .mco package (a cabinet) is recognised by the installed definition, by name and by content.
update-mime-database "$share/mime" || fail "update-mime-database"
printf 'MSCF\0\0\0\0' > "$tmp/Backup1.mco"
printf 'MSCF\0\0\0\0' > "$tmp/unnamed"
type=$(XDG_DATA_DIRS="$share:/usr/share" XDG_DATA_HOME="$tmp/none" gio info -a standard::content-type "$tmp/Backup1.mco" \
       | sed -n 's/.*standard::content-type: //p')
[ "$type" = application/x-messenger-content ] || fail "an .mco file is '$type'"

# The Debian package holds the same tree.
(cd "$tmp" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/deb" > "$tmp/cpack.log" 2>&1) \
  || { cat "$tmp/cpack.log"; fail "cpack -G DEB"; }
deb=$(ls "$tmp"/deb/zorvak_*.deb)
dpkg-deb -c "$deb" > "$tmp/contents"
for f in ./usr/bin/zorvak ./usr/bin/zorvak-cli ./usr/share/applications/$id.desktop ./usr/share/man/man1/zorvak-cli.1.gz \
         ./usr/share/metainfo/$id.metainfo.xml ./usr/share/mime/packages/$id.xml; do
  grep -q " $f\$" "$tmp/contents" || fail "not in the package: $f"
done
for f in ./usr/share/doc/zorvak/copyright ./usr/share/doc/zorvak/changelog.gz; do
  grep -q " $f\$" "$tmp/contents" || fail "not in the package: $f"
done
# Debian's checks find no error and no warning (lintian is installed by scripts/deps.sh).
if command -v lintian > /dev/null; then
  lintian --fail-on error,warning "$deb" > "$tmp/lintian.log" 2>&1 \
    || { cat "$tmp/lintian.log"; fail "lintian"; }
  echo "lintian: $(wc -l < "$tmp/lintian.log") lines of notes, no error or warning"
fi
depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6widgets6 libmspack0 qt6-qpa-plugins; do
  [[ $depends == *"$d"* ]] || fail "the package does not depend on $d: $depends"
done
# In CI, as root, the package installs on this very system and its programs run from there; it is
# removed again afterwards.
if [ -n "${CI:-}" ] && [ "$(id -u)" -eq 0 ]; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$deb" > "$tmp/apt.log" 2>&1 \
    || { cat "$tmp/apt.log"; fail "apt-get install of the package"; }
  trap 'dpkg -r zorvak > /dev/null 2>&1 || true; rm -rf "$tmp"' EXIT
  /usr/bin/zorvak-cli --version | grep -q '^zorvak-cli ' || fail "the installed zorvak-cli does not run"
  ! ldd /usr/bin/zorvak | grep -q 'not found' || fail "the installed zorvak misses libraries"
  echo "installed with apt-get and run from /usr/bin"
fi
echo "installed tree, desktop entry, metainfo, MIME type and $(basename "$deb") are valid"
