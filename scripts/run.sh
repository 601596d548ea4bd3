#!/usr/bin/env bash
# Sets everything up and starts the program: the desktop program when a display is
# available; without one and without arguments, converts a sample clip with the default
# profile and prints where the output is. Arguments are passed to vexlo-cli.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
build=${BUILD_DIR:-$root/build}
bin=$build/bin
if [ -x "$bin/vexlo" ] && [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ $# -eq 0 ]; then
  exec "$bin/vexlo"
fi
if [ $# -gt 0 ]; then
  exec "$bin/vexlo-cli" "$@"
fi

echo "No display: converting a sample clip with vexlo-cli ($bin/vexlo-cli --help for more)." >&2
"$bin/vexlo-cli" --version
sample=$build/sample/vexlo-sample.mp4
if [ ! -s "$sample" ]; then
  mkdir -p "$(dirname "$sample")"
  echo "Making the sample clip $sample" >&2
  ffmpeg -y -hide_banner -loglevel error \
    -f lavfi -i testsrc2=size=640x360:rate=25:duration=5 \
    -f lavfi -i sine=frequency=440:sample_rate=44100:duration=5 \
    -c:v libx264 -pix_fmt yuv420p -c:a aac -shortest "$sample.part.mp4"
  mv "$sample.part.mp4" "$sample"
fi
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
"$bin/vexlo-cli" convert "$sample" | tee "$log" || status=$?
output=$(sed -n 's/^.* -> //p' "$log" | tail -n 1)
if [ "$status" -eq 0 ] && [ -n "$output" ]; then
  echo "Output: $output"
else
  echo "The conversion did not finish (status $status)." >&2
fi
exit "$status"
