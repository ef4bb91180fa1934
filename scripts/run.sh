#!/usr/bin/env bash
# Installs what is missing, builds, and starts Zorvak. Without a display (neither DISPLAY nor
# WAYLAND_DISPLAY) there is no window to show: it says so and runs the demo through the command
# line instead (scripts/demo_cli.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake --preset default
cmake --build --preset default -j "$(nproc)"
BIN=build/default/src/app/zorvak

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display here (neither DISPLAY nor WAYLAND_DISPLAY is set), so Zorvak's window cannot be shown."
  echo "Running the demo through the command line instead (build/default/src/cli/zorvak-cli)."
  echo
  exec bash scripts/demo_cli.sh build/default build/demo-output
fi

# Without Messenger data of its own on this machine, Zorvak starts on the demo profile (see the
# README's "Demo profile and map decryption"). ZORVAK_DEMO=1 forces it, ZORVAK_DEMO=0 prevents it.
has_messenger_data() {
  local d
  [ -n "${APPDATA:-}" ] && [ -d "$APPDATA/Microsoft/MSN Messenger" ] && return 0
  for d in "/mnt/c/Documents and Settings"/*/"Application Data/Microsoft/MSN Messenger" \
           "${WINEPREFIX:-$HOME/.wine}"/drive_c/users/*/{"Application Data","AppData/Roaming"}/Microsoft/"MSN Messenger" \
           "$HOME"/.local/share/wineprefixes/*/drive_c/users/*/{"Application Data","AppData/Roaming"}/Microsoft/"MSN Messenger"; do
    [ -d "$d" ] && return 0
  done
  while read -r mnt; do
    for d in "$mnt/Documents and Settings"/*/"Application Data/Microsoft/MSN Messenger" \
             "$mnt/Users"/*/"AppData/Roaming/Microsoft/MSN Messenger"; do
      [ -d "$d" ] && return 0
    done
  done < <(findmnt -rn -o TARGET -t ntfs,ntfs3,vfat,exfat,fuseblk 2>/dev/null || true)
  return 1
}
if [ "${ZORVAK_DEMO:-}" = 1 ] || { [ "${ZORVAK_DEMO:-}" != 0 ] && ! has_messenger_data; }; then
  DEMO="$PWD/build/demo-profile"
  if [ ! -d "$DEMO/Documents and Settings/Alice" ]; then
    build/default/tools/demo_profile/zorvak-demo-profile "$DEMO" >/dev/null
  fi
  export APPDATA="$DEMO/Documents and Settings/Alice/Application Data"
  echo "No Messenger data found on this machine: starting on the demo profile in $DEMO"
  echo "(demo e-mail alice.demo@hotmail.com, Windows password zorvak-demo)"
fi
exec "$BIN" "$@"
