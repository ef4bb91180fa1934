#!/usr/bin/env bash
# Installs what is missing, builds, and starts Zorvak. Without a display it starts under a
# virtual one (Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake --preset default
cmake --build --preset default -j "$(nproc)"
BIN=build/default/src/app/zorvak
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  exec xvfb-run -a "$BIN" "$@"
fi
exec "$BIN" "$@"
