#!/usr/bin/env bash
# Builds and runs every test. With --sanitize the suite is built and run under ASan+UBSan
# in build-asan/. Ends with CTest's summary line.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
dir="$root/build"
opts=()
if [ "${1:-}" = "--sanitize" ]; then
  dir="$root/build-asan"
  opts=(-DTORVIK_SANITIZE=ON -DTORVIK_BENCH=OFF)
  export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
  export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
fi
"$root/scripts/build.sh" "$dir" "${opts[@]}"
cd "$dir"
# The OpenGL window tests and the end-to-end journeys need an X server.
xvfb-run -a -s "-screen 0 1280x1024x24 +extension GLX" \
  ctest --output-on-failure --timeout 600 -j "$(nproc)"
