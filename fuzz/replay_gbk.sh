#!/usr/bin/env bash
# Replays every fuzz target's corpus in a GBK narrow code page: zh_CN.GBK built with localedef
# into a temporary LOCPATH. Arguments: the folder of the replay programs, the corpus folder, then
# the target names. Skips (exit 0 with a note) where the GBK charmap or localedef is missing.
set -euo pipefail
bin="$1" corpus="$2"
shift 2
locales=$(mktemp -d)
trap 'rm -rf "$locales"' EXIT
if ! localedef -c -f GBK -i zh_CN "$locales/zh_CN.GBK" >/dev/null 2>&1 &&
   [ ! -e "$locales/zh_CN.GBK/LC_CTYPE" ]; then
  echo "no zh_CN.GBK locale could be built here: GBK replays skipped"
  exit 0
fi
status=0
for name in "$@"; do
  echo "== $name in zh_CN.GBK"
  LOCPATH="$locales" LC_ALL=zh_CN.GBK "$bin/${name}_replay" "$corpus/${name%_fuzz}" || status=1
done
exit "$status"
