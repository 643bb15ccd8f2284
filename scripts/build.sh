#!/usr/bin/env bash
# build.sh <build dir> [cmake options...]: configure (once) and build the whole tree.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1; shift
export CC=${CC:-clang} CXX=${CXX:-clang++}
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S "$root" -B "$dir" -G Ninja "$@"
else
  cmake "$dir" "$@" >/dev/null
fi
cmake --build "$dir" --parallel "$(nproc)"
