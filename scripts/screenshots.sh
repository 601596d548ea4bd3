#!/usr/bin/env bash
# Writes a PNG of every window of the desktop program into a folder, headless, with a
# fixed skin and sample clips, so that anyone can look at them.
#   scripts/screenshots.sh [folder (default screenshots/)] [skin 0..6 (default 0)]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-$root/screenshots}")
skin=${2:-0}
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
bin=${BUILD_DIR:-$root/build}/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

clip() {  # clip <file> <seconds> <picture source>
  ffmpeg -y -hide_banner -loglevel error -f lavfi -i "$3=size=320x240:rate=25:duration=$2" \
    -f lavfi -i "sine=frequency=440:duration=$2" -shortest "$work/$1"
}
clip "Holiday at the sea.mp4" 3 testsrc
clip "Birthday party.avi" 5 testsrc2
clip "Concert.mkv" 12 smptebars

mkdir -p "$work/settings" "$work/out"
cat > "$work/settings/vexlomobilevideoconverter.ini" <<INI
[settings]
OutPutDir=$work/out
FormatCode=0
FormatName=iPhone MPEG-4 Extra Video (*.mp4)
volume=96
INI

VEXLO_SETTINGS_DIR="$work/settings" QT_QPA_PLATFORM=offscreen VEXLO_NOTICE_URL=http://127.0.0.1:1/ \
  "$bin/vexlo" --screenshots "$out" --skin "$skin" \
  "$work/Holiday at the sea.mp4" "$work/Birthday party.avi" "$work/Concert.mkv"
echo "Screenshots written to $out"
