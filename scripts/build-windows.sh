#!/usr/bin/env bash
# Cross-builds the Windows DLLs and the host CLI (webinteractive.exe, in DIR/bin beside them)
# with mingw-w64; `cmake --install DIR --prefix P` then packages them. Arguments: the build folder
# DIR (default ./build-win), then any further cmake configure options.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build-win}"
shift || true
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
  -DWEBINTERACTIVE_TESTS=OFF -DWEBINTERACTIVE_BENCH=OFF "$@"
cmake --build "$dir" -j 2
