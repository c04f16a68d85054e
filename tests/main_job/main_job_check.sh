#!/usr/bin/env bash
# The main job's session, run twice in a row on one temporary machine prefix, each time against a
# reference service started afresh on a free port with a fresh data directory, as two runs of
# scripts/run-main.sh would; then once against an address where no service listens. Checks what a
# user would look at: every step OK, the uploads the service kept and the requests it answered,
# the downloaded files, the registry value restored and the store emptied by the cleaning.
#
#   main_job_check.sh CLI SERVICE_PROGRAM WORK_DIR
set -euo pipefail
cli="$1"
service="$2"
work="$3"
source_dir="$(cd "$(dirname "$0")/../.." && pwd)"
guid='{6F2B8C41-3A57-4E0D-9B1C-2D5E7A8F0C11}'

rm -rf "$work"
mkdir -p "$work/home"
# The default machine prefix of the session is this one; HOME is a fresh folder as well, so a run
# that ignored the prefix would show there instead of touching the user's own machine.
export WEBINTERACTIVE_PREFIX="$work/machine"
export HOME="$work/home"
prefix="$WEBINTERACTIVE_PREFIX"
export LC_ALL=C.UTF-8

source "$source_dir/scripts/demo-service.sh"
trap demo_service_stop EXIT

fail() {
  echo "FAIL (run $run): $*" >&2
  exit 1
}

# expect_requests COUNT PATTERN: the service answered COUNT requests whose log line, shortened
# from the combined log format to "METHOD TARGET STATUS BYTES", matches.
expect_requests() {
  local count
  count=$(sed -E 's/^[^"]*"([^ "]+) ([^ "]+) [^ "]+" ([0-9]+) ([0-9]+) .*$/\1 \2 \3 \4/' \
    "$round/service.log" | grep -c -E "$2" || true)
  [ "$count" -eq "$1" ] || fail "$count requests matching '$2', expected $1"
}

# The path of the one body kept for an upload kind.
upload_body() {
  local bodies=("$data/uploads/$1"/*.body)
  if [ ${#bodies[@]} -ne 1 ] || [ ! -s "${bodies[0]}" ]; then fail "no single $1 upload"; fi
  echo "${bodies[0]}"
}
# The text of a kept document in GB2312, as UTF-8.
gb2312_upload() { iconv -f GB2312 -t UTF-8 "$(upload_body "$1")"; }

for run in 1 2; do
  round="$work/run$run"
  data="$round/data"
  demo_service_start "$service" "$data" "$round/service.log"
  status=0
  "$source_dir/scripts/demo-session.sh" "$cli" "$DEMO_SERVICE_URL" "$data" "$round/session" \
    > "$round/session.out" 2>&1 || status=$?
  demo_service_stop
  [ "$status" -eq 0 ] || { cat "$round/session.out" >&2; fail "the session exited with $status"; }
  grep -q -E '^([0-9]+) of \1 steps succeeded\.$' "$round/session.out" ||
    fail "not every step succeeded: $(grep -E ' FAILED ' "$round/session.out")"

  # What reached the service: each document once, the file list naming the software with its
  # Chinese name, the system information under the machine number, and a log whose entries are
  # the session's steps.
  gb2312_upload softlist | grep -F "$guid" >/dev/null || fail "the software list lacks $guid"
  gb2312_upload filelist | grep '<Name>金山词霸</Name>' >/dev/null || fail "the file list lacks 金山词霸"
  sysinfo=$(upload_body sysinfo)
  grep -q 'machinenum=DEMO%2d0001' "${sysinfo%.body}.target" ||
    fail "the system information came without its machine number"
  log=$(gb2312_upload log)
  grep -q 'protect 金山词霸 into the store: 成功' <<< "$log" || fail "the log lacks the protection"
  grep -q '<Creator>演示</Creator>' <<< "$log" || fail "the log lacks its creator"
  for kind in softlist filelist sysinfo log; do
    expect_requests 1 "^POST /upload/${kind}[ ?]"
  done
  expect_requests 1 '^GET /filelist\?guid='
  expect_requests 1 '^GET /patchlist\?guid='
  expect_requests 1 '^GET /patch\?patchid=PW2009%2dSP1%2eexe 200 '
  expect_requests 1 '^GET /files/patches/PW2009-SP1\.exe 200 '
  expect_requests 1 '^GET /install\?filename='
  expect_requests 1 '^GET /files/%E9%87%91%E5%B1%B1%E8%AF%8D%E9%9C%B82009%E5%AE%89%E8%A3%85%E5%8C%85\.exe 200 '

  # The downloads are the service's files, byte for byte.
  templates="$prefix/drive_c/ProgramData/Microsoft/Windows/Templates"
  cmp -s "$templates/金山词霸/金山词霸2009安装包.exe" "$data/files/金山词霸2009安装包.exe" ||
    fail "the installer differs from the service's"
  patch=$(sed -n 's/^  downloaded patch *//p' "$round/session.out")
  cmp -s "$patch" "$data/files/patches/PW2009-SP1.exe" || fail "the patch $patch differs"

  # The changed value is back, and the cleaning left no trace of the software in the store.
  grep -q -F '"界面语言"=type(1):"简体中文"' "$prefix/system.reg" ||
    fail "the registry value was not restored"
  store="$prefix/drive_d/qel_protect/software"
  [ ! -e "$store/$guid" ] || fail "the store still holds $guid"
  ! grep -q -F "$guid" "$store/qeluser.xml" || fail "the user document still lists $guid"
  [ ! -e "$HOME/.webinteractive" ] || fail "the session used ~/.webinteractive"
done

# Without a service every exchange fails: the session goes on with the local steps, names each
# failed step in its summary and ends with status 1.
run=3
status=0
"$source_dir/scripts/demo-session.sh" "$cli" "http://127.0.0.1:9" "$work/run3/data" \
  "$work/run3/session" > "$work/run3.out" 2>&1 || status=$?
[ "$status" -eq 1 ] || fail "the session without a service exited with $status"
for title in "upload the software list" "download the installer" "stop the log run"; do
  grep -q -E "^ ?[0-9]+\. FAILED +$title" "$work/run3.out" || fail "\"$title\" was not FAILED"
done
grep -q -E '^ ?[0-9]+\. OK +set the softwares' "$work/run3.out" ||
  fail "the local steps did not run"
echo "the main job's session ran twice, and failed as it should without a service"
