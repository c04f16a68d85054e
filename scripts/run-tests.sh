#!/usr/bin/env bash
# Installs what is needed, builds, and runs the whole test suite. The tests start and stop
# their own peer servers (nginx, tinyproxy, apache2) on 127.0.0.1.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
cd build
ctest --output-on-failure -j 2 --timeout 600
