#!/usr/bin/env bash
# scripts/build.sh <build-dir> <build-type> [extra cmake arguments...]: configure once, then build.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
dir="$1"; type="$2"; shift 2
echo "kelvos: building $type in $dir"
mkdir -p "$dir"
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@" >"$dir/configure.log" 2>&1 ||
    { cat "$dir/configure.log" >&2; exit 1; }
cmake --build "$dir" -j "$(nproc)"
