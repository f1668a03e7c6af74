#!/usr/bin/env bash
# Builds TarnWalker and runs every test. Installs the Debian packages it needs when missing.
set -euo pipefail
cd "$(dirname "$0")"
. tools/debian-packages.sh
# shellcheck disable=SC2086
tw_need $TW_BUILD_PACKAGES $TW_TEST_PACKAGES
jobs=$(nproc)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
cd build
ctest --output-on-failure -j"$jobs" --timeout 600
