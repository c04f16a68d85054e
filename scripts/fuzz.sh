#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) and
# runs each of them for a given time, once in UTF-8 and once in a GBK narrow code page (zh_CN.GBK
# built with localedef), starting from its corpus in fuzz/corpus/<name>. New inputs that reach
# new code are merged into the corpus, unless --no-merge. Any crash, sanitizer report, timeout
# or excess memory fails the run; the input that did it is kept in the log folder.
#
#   scripts/fuzz.sh [--time SECONDS] [--build DIR] [--logs DIR] [--no-merge] [TARGET...]
#
# --time is per target and code page (default 60); TARGET names such as xml_dom (default: all).
# A summary line per run gives the executions and the coverage (libFuzzer's "cov" and "ft").
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=60
build=build-fuzz
logs=""
merge=yes
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
    --time) seconds="$2"; shift 2 ;;
    --build) build="$2"; shift 2 ;;
    --logs) logs="$2"; shift 2 ;;
    --no-merge) merge=""; shift ;;
    -h|--help) sed -n '2,12p' "$0"; exit 0 ;;
    -*) echo "fuzz.sh: unknown option $1" >&2; exit 2 ;;
    *) targets+=("$1"); shift ;;
  esac
done

for tool in clang clang++; do
  command -v "$tool" >/dev/null || { echo "fuzz.sh: $tool is not installed" >&2; exit 2; }
done
if [ ${#targets[@]} -eq 0 ]; then
  for source in fuzz/*_fuzz.cpp; do
    name=$(basename "$source" .cpp)
    targets+=("${name%_fuzz}")
  done
fi

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DWEBINTERACTIVE_FUZZ=ON -DWEBINTERACTIVE_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]/%/_fuzz}"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
[ -n "$logs" ] || logs="$work/logs"
mkdir -p "$logs"
locales=""
if localedef -c -f GBK -i zh_CN "$work/zh_CN.GBK" >/dev/null 2>&1 ||
   [ -e "$work/zh_CN.GBK/LC_CTYPE" ]; then
  locales="$work"
else
  echo "fuzz.sh: no zh_CN.GBK locale could be built: the runs are in UTF-8 only" >&2
fi

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
failed=()
for target in "${targets[@]}"; do
  corpus="fuzz/corpus/$target"
  mkdir -p "$corpus"
  for page in utf8 gbk; do
    if [ "$page" = gbk ]; then
      [ -n "$locales" ] || continue
      environment=(LOCPATH="$locales" LC_ALL=zh_CN.GBK)
    else
      environment=(LC_ALL=C.UTF-8)
    fi
    fresh="$work/new-$target-$page"
    mkdir -p "$fresh"
    log="$logs/$target-$page.log"
    status=0
    # -timeout: one input taking 10 s is a finding (no reader may take that long on a small one).
    env "${environment[@]}" "$build/fuzz/${target}_fuzz" -max_total_time="$seconds" \
      -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$logs/$target-$page-" "$fresh" "$corpus" >"$log" 2>&1 || status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    coverage=$(grep -Eo 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -1)
    if [ "$status" -ne 0 ]; then
      failed+=("$target/$page")
      echo "FAILED $target ($page) after ${runs:-?} runs: see $log"
      grep -E '^(==[0-9]+==ERROR|SUMMARY|.*runtime error)' "$log" | head -5 || true
      continue
    fi
    added=0
    if [ -n "$merge" ]; then
      before=$(find "$corpus" -type f | wc -l)
      env "${environment[@]}" "$build/fuzz/${target}_fuzz" -merge=1 -timeout=10 \
        -rss_limit_mb=2048 "$corpus" "$fresh" >>"$log" 2>&1
      added=$(( $(find "$corpus" -type f | wc -l) - before ))
    fi
    echo "$target ($page): ${runs:-?} runs, ${coverage:-no coverage line}, $added inputs added"
  done
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz.sh: FAILED: ${failed[*]} (inputs and logs in $logs)"
  [ "$logs" != "$work/logs" ] || { trap - EXIT; echo "(kept $work)"; }
  exit 1
fi
echo "fuzz.sh: every target ran ${seconds}s per code page without a finding"
