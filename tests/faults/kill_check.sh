#!/usr/bin/env bash
# Kills CLI processes that protect, clean, restore configuration entries or stop a log run with
# SIGKILL at random moments, and checks after each kill what a user relies on: every software
# protected before is still found, the registry store reads, the same command succeeds when run
# again, and no temporary sibling of a killed copy is left once the folder was written again.
# Last, a user document cut short on disk fails clearly and the next protection rebuilds it.
# Arguments: the CLI program, the reference service program, a work folder.
cli="$1"
service="$2"
work="$3"
source "$(dirname "$0")/fixture_softwares.sh"
source "$(dirname "$0")/../../scripts/demo-service.sh"
trap demo_service_stop EXIT
work_softwares "$work/trials" S1 S2 S3 K1:120
failures="$work/failures"
: >"$failures"
fail() { echo "$*" >>"$failures"; }
store="$prefix/drive_d/qel_protect/software"
state="$work/log.state"

demo_service_start "$service" "$work/service-data" "$work/service.log" || exit 1
printf '<Logs><Servlet>%s/upload/log</Servlet><SysId>s</SysId></Logs>' "$DEMO_SERVICE_URL" \
    >"$work/logs.xml"

for name in S1 S2 S3; do
    wi protect --list "$list" --guid "{$name}" >/dev/null 2>&1 || fail "protect $name failed"
done

# How long the command takes when left alone, in milliseconds: the kills fall within it.
duration_ms() {
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s%N)
    echo $(((end - start) / 1000000 + 1))
}

# Runs the command in the background and kills it after a random part of `span` milliseconds.
kill_during() {  # span, command...
    local span="$1"
    shift
    "$@" >/dev/null 2>&1 &
    local pid=$!
    sleep "$(printf '0.%03d' $((RANDOM % span % 1000)))"
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
}

check_after() {  # trial name
    local name
    for name in S1 S2 S3; do
        [ "$(answer xml "$name")" = "D:\\qel_protect\\software\\{$name}\\Protect.xml" ] ||
            fail "$1: query xml $name answered '$(answer xml "$name")'"
        [ "$(answer install "$name")" = "D:\\Apps\\$name" ] || fail "$1: query install $name"
        [ "$(answer version "$name")" = 1 ] || fail "$1: query version $name"
    done
    wi registry show >/dev/null 2>&1 || fail "$1: the registry store does not read"
}

# Siblings whose process has ended, outside the shared dependence area (its copies are never
# rewritten by a later run, and nothing reads a sibling there).
check_no_stale_siblings() {  # trial name
    local left
    left=$(find "$prefix" -name '.~wi*' -not -path '*/Dependence/*' 2>/dev/null | head -n 3)
    [ -z "$left" ] || fail "$1: temporary siblings left: $left"
}

trials=0
protect_ms=$(duration_ms wi protect --list "$list" --guid "{K1}")
clean_ms=$(duration_ms wi clean --guid "{K1}")
for trial in $(seq 14); do
    kill_during "$protect_ms" wi protect --list "$list" --guid "{K1}"
    check_after "protect $trial"
    wi protect --list "$list" --guid "{K1}" >/dev/null 2>&1 || fail "protect $trial: the rerun failed"
    [ "$(answer version K1)" = 1 ] || fail "protect $trial: K1 is not protected after the rerun"
    check_no_stale_siblings "protect $trial"
    trials=$((trials + 1))
done
for trial in $(seq 13); do
    wi protect --list "$list" --guid "{K1}" >/dev/null 2>&1 || fail "clean $trial: protect failed"
    kill_during "$clean_ms" wi clean --guid "{K1}"
    check_after "clean $trial"
    # A second cleaning succeeds, or finds the software no longer protected.
    wi clean --guid "{K1}" >/dev/null 2>&1 || [ -z "$(answer version K1)" ] ||
        fail "clean $trial: the rerun failed while K1 is still protected"
    [ ! -e "$store/{K1}" ] || fail "clean $trial: the store still holds K1"
    trials=$((trials + 1))
done
wi protect --list "$list" --guid "{K1}" >/dev/null 2>&1 || fail "protect K1 for the restores failed"
restore_ms=$(duration_ms wi config restore --list "$list" --guid "{K1}")
for trial in $(seq 12); do
    kill_during "$restore_ms" wi config restore --list "$list" --guid "{K1}"
    check_after "restore $trial"
    wi config restore --list "$list" --guid "{K1}" >/dev/null 2>&1 ||
        fail "restore $trial: the rerun failed"
    check_no_stale_siblings "restore $trial"
    trials=$((trials + 1))
done
for trial in $(seq 12); do
    wi log start --state "$state" >/dev/null 2>&1
    for entry in 1 2 3; do
        wi log add --state "$state" --guid "{S$entry}" --result ok >/dev/null 2>&1
    done
    [ "$trial" -gt 1 ] || stop_ms=$(duration_ms wi log stop --state "$state" --config "$work/logs.xml")
    kill_during "$stop_ms" wi log stop --state "$state" --config "$work/logs.xml"
    check_after "log stop $trial"
    wi log stop --state "$state" --config "$work/logs.xml" >/dev/null 2>&1 ||
        fail "log stop $trial: the rerun failed"
    trials=$((trials + 1))
done

# A user document cut short at a random byte: the store's operations fail clearly, none crashes,
# and the next protection writes a whole document again.
user_document="$store/qeluser.xml"
size=$(stat -c %s "$user_document")
truncate -s $((RANDOM % size)) "$user_document"
status=0
wi query version --guid "{S1}" >"$work/cut.out" 2>&1 || status=$?
[ "$status" -eq 1 ] || fail "a cut user document: query exited with $status"
grep -q "qeluser.xml" "$work/cut.out" || fail "a cut user document was not named: $(cat "$work/cut.out")"
wi protect --list "$list" --guid "{K1}" >/dev/null 2>&1 || fail "a protection after the cut failed"
xmllint --noout "$user_document" 2>/dev/null || fail "the user document was not rebuilt"
grep -q "{K1}" "$user_document" || fail "the rebuilt user document does not name K1"

echo "$trials kill trials (protect ${protect_ms} ms, clean ${clean_ms} ms, restore ${restore_ms} ms, log stop ${stop_ms} ms)"
if [ -s "$failures" ]; then
    echo "FAIL: $(wc -l <"$failures") failures"
    head -n 30 "$failures"
    exit 1
fi
echo "PASS"
