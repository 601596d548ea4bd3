#!/usr/bin/env bash
# Sets everything up and starts the program: the desktop program when a display is
# available, otherwise the command-line program (arguments are passed on).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
bin=${BUILD_DIR:-$root/build}/bin
if [ -x "$bin/vexlo" ] && [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ $# -eq 0 ]; then
  exec "$bin/vexlo"
fi
if [ $# -eq 0 ]; then
  echo "No display: running the command-line program ($bin/vexlo-cli --help for more)." >&2
  "$bin/vexlo-cli" --version
  exec "$bin/vexlo-cli" --help
fi
exec "$bin/vexlo-cli" "$@"
