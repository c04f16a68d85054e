#!/usr/bin/env bash
# Builds the Windows DLLs, the CLI and the test programs with mingw-w64 and runs the Windows tests
# under Wine through ctest, in a fresh Wine prefix of the run. The peer servers and the reference
# service run natively: the service comes from the Linux build. Arguments: the Windows build
# folder (default ./build-win) and the Linux build folder (default ./build; its service is built
# when missing).
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build-win}"
native="${2:-build}"
scripts/install-deps.sh windows
if [ ! -x "$native/bin/webinteractive-service" ]; then
  cmake -S . -B "$native" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$native" --target webinteractive_service -j 2
fi
scripts/build-windows.sh "$dir" -DWEBINTERACTIVE_TESTS=ON \
  -DWEBINTERACTIVE_NATIVE_SERVICE="$PWD/$native/bin/webinteractive-service"
ctest --test-dir "$dir" --output-on-failure -L windows --timeout 600
