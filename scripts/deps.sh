#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Zorvak need, when missing.
#   scripts/deps.sh          the normal build and tests (gcc)
#   scripts/deps.sh --fuzz   also clang and its libFuzzer runtime, for the "fuzz" preset
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ pkg-config lld
  qt6-base-dev qt6-base-dev-tools qt6-image-formats-plugins qt6-svg-dev
  libmspack-dev zlib1g-dev libcpp-httplib-dev libsimpleini-dev libssl-dev libglib2.0-dev libarchive-dev
  googletest libgtest-dev libgmock-dev
  cabextract gcab p7zip-full libarchive-tools python3-impacket python3-pycryptodome
  xvfb xauth xdg-utils
)
PACKAGES+=(file)   # the browsing benchmark compares recognition with file(1)
# the packaging test validates the installed tree and builds the Debian package
PACKAGES+=(desktop-file-utils appstream shared-mime-info libglib2.0-bin dpkg-dev lintian)
# the manual pages are checked with groff; the progress tests give the CLI a terminal with script
PACKAGES+=(groff-base bsdutils)
# the history benchmark compares reading with xmllint --stream
PACKAGES+=(libxml2-utils)
if [ "${1:-}" = "--fuzz" ]; then
  PACKAGES+=(clang libclang-rt-dev)
fi

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
echo "Installing: ${missing[*]}"
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
