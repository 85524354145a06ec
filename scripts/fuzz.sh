#!/usr/bin/env bash
# scripts/fuzz.sh <build-dir> [libFuzzer options...]: builds the libFuzzer targets with clang and
# runs each on a copy of its seed corpus (tests/fuzz/corpus/<target>); default 5 seconds each.
# Exits non-zero when a target crashes; the crashing input is kept in <build-dir>/fuzz-runs.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
mkdir -p "$1"
dir="$(cd "$1" && pwd)"; shift
options=("$@")
[ ${#options[@]} -gt 0 ] || options=(-max_total_time=5)
echo "kelvos: building the fuzz targets in $dir"
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
    -DKELVOS_FUZZ=ON -DKELVOS_BENCH=OFF >"$dir/configure.log" 2>&1 ||
    { cat "$dir/configure.log" >&2; exit 1; }
cmake --build "$dir" -j "$(nproc)" --target kelvos_fuzzers
runs="$dir/fuzz-runs"
rm -rf "$runs"
for seeds in "$root"/tests/fuzz/corpus/*/; do
    target="$(basename "$seeds")"
    exe="$(find "$dir/tests/fuzz" -type f -name "$target" -perm -u+x | head -n 1)"
    [ -n "$exe" ] || { echo "kelvos: fuzz target $target was not built" >&2; exit 1; }
    mkdir -p "$runs/$target"
    cp -r "$seeds." "$runs/$target/corpus"
    echo "kelvos: fuzzing $target ${options[*]}"
    (cd "$runs/$target" && "$exe" "${options[@]}" -artifact_prefix="$runs/$target/" corpus \
        >"$runs/$target/log" 2>&1) ||
        { tail -n 40 "$runs/$target/log" >&2; echo "kelvos: $target failed" >&2; exit 1; }
done
