#!/usr/bin/env bash
# scripts/install-deps.sh [--tests]: installs the Debian packages KelvoS needs to build and run
# (with --tests: also those its tests, fuzzers and benchmarks need), and only those missing.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
lists=("$here/debian-packages.txt")
if [ "${1:-}" = "--tests" ]; then
    lists+=("$here/debian-packages-tests.txt")
fi
mapfile -t wanted < <(cat "${lists[@]}" | grep -v -E '^\s*(#|$)')

missing=()
for pkg in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$pkg")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "kelvos: all ${#wanted[@]} required Debian packages are installed"
    exit 0
fi

echo "kelvos: installing ${#missing[@]} missing Debian packages: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
        SUDO=sudo
    else
        echo "kelvos: these packages are missing and installing them needs root: ${missing[*]}" >&2
        echo "kelvos: run this script as root, or install them with: apt-get install ${missing[*]}" >&2
        exit 1
    fi
else
    SUDO=""
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
echo "kelvos: packages installed"
