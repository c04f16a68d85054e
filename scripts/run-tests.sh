#!/usr/bin/env bash
# Installs what is needed, builds, and runs the whole test suite three times: as built for use,
# with AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer, and the tests that use
# threads with ThreadSanitizer. The tests start and stop their own peer servers (nginx,
# tinyproxy, apache2) on 127.0.0.1. Then every fuzz target runs for a few seconds under
# libFuzzer (clang). Any failure, sanitizer report or fuzzing finding fails the run. Last, the
# same sources are cross-built for Windows and the Windows tests run under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

run_suite() {  # build folder, ctest arguments...
  local dir="$1"
  shift
  echo "=== tests in $dir ==="
  ctest --test-dir "$dir" --output-on-failure -j 2 --timeout 600 "$@"
}

failed=()
scripts/build.sh build
run_suite build || failed+=(build)
# The Debian package: lintian, installed with apt-get, its CLI and hosts run, removed again.
scripts/package-check.sh build || failed+=(package)

scripts/build.sh build-asan -DWEBINTERACTIVE_SANITIZE=address -DWEBINTERACTIVE_BENCH=OFF
# The suppressions name glibc's one allocation for LOCPATH that a GBK test's setlocale keeps.
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1 \
  LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp" \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_suite build-asan || failed+=(build-asan)

scripts/build.sh build-tsan -DWEBINTERACTIVE_SANITIZE=thread -DWEBINTERACTIVE_BENCH=OFF
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  run_suite build-tsan -L threads || failed+=(build-tsan)

# Every fuzz target for a short while in each narrow code page (UTF-8, GBK), from its corpus;
# nothing is merged into the corpora here (scripts/fuzz.sh without --no-merge grows them).
if command -v clang++ >/dev/null; then
  echo "=== fuzz targets, 10 s each per code page, in build-fuzz ==="
  scripts/fuzz.sh --time 10 --no-merge --build build-fuzz || failed+=(build-fuzz)
else
  echo "=== fuzz targets skipped: clang is not installed ==="
fi

echo "=== Windows build and tests under Wine in build-win ==="
scripts/test-windows.sh build-win build || failed+=(build-win)

if [ ${#failed[@]} -gt 0 ]; then
  echo "FAILED: ${failed[*]}"
  exit 1
fi
echo "all suites passed"
