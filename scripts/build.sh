#!/usr/bin/env bash
# Configures and builds into BUILD_DIR (default build/); extra arguments go to cmake.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" "$@" >/dev/null
cmake --build "$build" -j2
