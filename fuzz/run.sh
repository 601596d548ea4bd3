#!/usr/bin/env bash
# Builds the BMP reader's fuzz target with Debian's clang (libFuzzer, ASan, UBSan) and runs it
# for a bounded time. Not part of CI; run by hand:  fuzz/run.sh [seconds, default 60]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
out=${FUZZ_DIR:-$root/build-fuzz}
command -v clang++ >/dev/null || { echo "clang++ is missing: apt-get install clang" >&2; exit 1; }
mkdir -p "$out/corpus" "$out/crashes"

clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root" "$root/fuzz/BmpReaderFuzz.cpp" "$root/edit/BmpFile.cpp" "$root/platform/Text.cpp" \
  -o "$out/bmp_reader_fuzz"

# Seeds: one small file of every layout ffmpeg's BMP encoder writes.
if command -v ffmpeg >/dev/null; then
  for fmt in bgr24 bgra pal8 gray monob rgb555le rgb565le rgb444le rgb8 rgb4_byte; do
    [ -f "$out/corpus/seed_$fmt.bmp" ] || ffmpeg -v error -y -f lavfi -i testsrc=size=9x5:rate=1 \
      -frames:v 1 -pix_fmt "$fmt" "$out/corpus/seed_$fmt.bmp"
  done
fi

"$out/bmp_reader_fuzz" "$out/corpus" -max_total_time="$seconds" -max_len=4096 -rss_limit_mb=2048 \
  -artifact_prefix="$out/crashes/" -print_final_stats=1
