#!/usr/bin/env bash
# Builds TarnWalker and starts it. Installs the Debian packages it needs when missing.
set -euo pipefail
cd "$(dirname "$0")"
. tools/debian-packages.sh
# shellcheck disable=SC2086
tw_need $TW_BUILD_PACKAGES $TW_RUN_PACKAGES
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)" --target tarnwalker
exec build/app/tarnwalker "$@"
