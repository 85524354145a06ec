#!/usr/bin/env bash
# Installs what is missing, checks the formatting of the C++ files, builds KelvoS and runs every
# test: unit, widget (offscreen) and end-to-end (Xvfb), then the unit and widget tests again
# under AddressSanitizer with UndefinedBehaviorSanitizer, and under ThreadSanitizer; last every
# libFuzzer target runs for a few seconds on its seed corpus. Exits non-zero on any failure.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$root/scripts/install-deps.sh" --tests

echo "kelvos: checking the formatting of every C++ file"
(cd "$root" && git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror)

"$root/scripts/build.sh" "$root/build" Debug -DKELVOS_BENCH=OFF
echo "kelvos: running unit, widget and end-to-end tests"
ctest --test-dir "$root/build" --output-on-failure -j 2

"$root/scripts/build.sh" "$root/build-asan" Debug -DKELVOS_SANITIZE=address,undefined -DKELVOS_BENCH=OFF
echo "kelvos: running unit and widget tests under address and undefined-behaviour sanitizers"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$root/build-asan" --output-on-failure -L 'unit|widget' -j 2
"$root/scripts/build.sh" "$root/build-tsan" Debug -DKELVOS_SANITIZE=thread -DKELVOS_BENCH=OFF
echo "kelvos: running unit and widget tests under the thread sanitizer"
# Tests that start a program (a broker, a database server) fork while their threads run; the
# child only goes on to execute that program.
TSAN_OPTIONS="suppressions=$root/tests/tsan.supp die_after_fork=0" \
    ctest --test-dir "$root/build-tsan" --output-on-failure -L 'unit|widget' -j 2
"$root/scripts/fuzz.sh" "$root/build-fuzz"
echo "kelvos: all tests passed"
