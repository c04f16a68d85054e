#!/usr/bin/env bash
# Several CLI processes protect, clean and query on one machine at the same time, as a desktop
# with several hosts does. No process may lose another's protection: the user document is
# changed under the machine-wide lock and read again under it.
# Arguments: the CLI program, a work folder.
cli="$1"
source "$(dirname "$0")/fixture_softwares.sh"
work_softwares "$2" S1 S2 S3 P1 Q1
failures="$2/failures"
: >"$failures"

for name in S1 S2 S3; do
    wi protect --list "$list" --guid "{$name}" >/dev/null 2>&1 || echo "protect $name failed" >>"$failures"
done

# One process protects P1 forty times while two others read the store again and again.
(
    for round in $(seq 40); do
        wi protect --list "$list" --guid "{P1}" >/dev/null 2>&1 ||
            echo "round $round: protect P1 failed" >>"$failures"
    done
) &
protector=$!
query_loop() {
    local rounds=0
    while kill -0 "$protector" 2>/dev/null || [ "$rounds" -eq 0 ]; do
        rounds=$((rounds + 1))
        for name in S1 S2 S3; do
            version=$(answer version "$name")
            [ "$version" = 1 ] || echo "query $rounds: $name answered '$version'" >>"$failures"
        done
    done
}
query_loop &
first=$!
query_loop &
second=$!
wait "$protector" "$first" "$second"

# Two processes protect two softwares at the same moment: both end up in the user document.
for round in $(seq 5); do
    wi clean --guid "{P1}" >/dev/null 2>&1
    wi clean --guid "{Q1}" >/dev/null 2>&1
    wi protect --list "$list" --guid "{P1}" >/dev/null 2>&1 &
    one=$!
    wi protect --list "$list" --guid "{Q1}" >/dev/null 2>&1 &
    other=$!
    wait "$one" || echo "pair $round: protect P1 failed" >>"$failures"
    wait "$other" || echo "pair $round: protect Q1 failed" >>"$failures"
    for name in S1 S2 S3 P1 Q1; do
        version=$(answer version "$name")
        [ "$version" = 1 ] || echo "pair $round: $name answered '$version'" >>"$failures"
    done
done

if [ -s "$failures" ]; then
    echo "FAIL: $(wc -l <"$failures") failures"
    head -n 20 "$failures"
    exit 1
fi
echo "PASS: the store kept every protection"
