#!/usr/bin/env bash
# Configures and builds. Arguments: the build folder (default ./build), then any further cmake
# configure options (for example -DWEBINTERACTIVE_SANITIZE=address).
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build}"
shift || true
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$dir" -j "$(nproc)"
