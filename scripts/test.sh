#!/usr/bin/env bash
# Sets everything up, builds and runs every test.
#   scripts/test.sh                      plain build in build/
#   scripts/test.sh --sanitize S [-R re] build with sanitizers S in build-S/, optional test filter
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
sanitize=""
ctest_args=()
while (($#)); do
  case "$1" in
    --sanitize) sanitize=$2; shift 2 ;;
    *) ctest_args+=("$1"); shift ;;
  esac
done
"$root/scripts/setup.sh"
if [ -n "$sanitize" ]; then
  export BUILD_DIR=${BUILD_DIR:-$root/build-${sanitize//,/-}}
  "$root/scripts/build.sh" -DVEXLO_SANITIZE="$sanitize" -DVEXLO_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
  export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
  export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/tests/support/lsan.supp:print_suppressions=0}
  export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
  export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:suppressions=$root/tests/support/tsan.supp}
else
  export BUILD_DIR=${BUILD_DIR:-$root/build}
  "$root/scripts/build.sh"
fi
cd "$BUILD_DIR"
ctest --output-on-failure -j2 --timeout 600 "${ctest_args[@]}"
