#!/usr/bin/env bash
# Builds one host of the examples against an installed package and runs its flow against the
# reference service serving examples/data, on a machine of its own:
#   host_check.sh KIND PREFIX SERVICE WORK_DIR
# KIND: c (C99, strict warnings, pkg-config), cpp (find_package), python (the bindings' unittest),
# csharp (mono, P/Invoke) or wine (the C host cross-built with mingw-w64 against the MSVC import
# library and run under Wine; PREFIX is then the Windows package). Checks that the host succeeds
# and that the service received exactly the requests of its flow.
set -euo pipefail
kind=$1 prefix=$(realpath "$2") service=$(realpath "$3") work=$(realpath -m "$4")
source_dir="$(cd "$(dirname "$0")/../.." && pwd)"
# shellcheck source=../../scripts/demo-service.sh
source "$source_dir/scripts/demo-service.sh"
trap demo_service_stop EXIT

rm -rf "$work"
mkdir -p "$work"
examples="$source_dir/examples"
libdir=$(dirname "$(ls -d "$prefix"/lib*/pkgconfig "$prefix"/lib/*/pkgconfig 2>/dev/null | head -1)")
export PKG_CONFIG_PATH="$libdir/pkgconfig"

# The requests of each flow, in order: method and path.
full_flow="GET /filelist GET /install GET /files/demo.exe GET /userinfo POST /upload/user POST /upload/log"
case "$kind" in
c)
    # shellcheck disable=SC2046  # pkg-config's flags are separate words
    cc -std=c99 -Wall -Wextra -Werror -pedantic "$examples/c/host.c" -o "$work/host" \
        $(pkg-config --cflags --libs webinteractive) -Wl,-rpath,"$libdir"
    run=("$work/host")
    expected=$full_flow
    ;;
cpp)
    cmake -S "$examples/cpp" -B "$work/build" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
    cmake --build "$work/build" >/dev/null
    run=("$work/build/host")
    expected="GET /filelist POST /upload/log"
    ;;
python)
    run=(env PYTHONPATH="$source_dir/bindings/python" WEBINTERACTIVE_LIBRARY="$libdir/libwebinteractive.so"
        python3 -m unittest -v test_webinteractive)
    cd "$source_dir/bindings/python"
    expected=$full_flow
    ;;
csharp)
    mcs -nologo -warnaserror -out:"$work/Host.exe" "$examples/csharp/Host.cs"
    run=(env LD_LIBRARY_PATH="$libdir" mono "$work/Host.exe")
    # The second Init (of a text that is not XML) loads the protected-software table, which asks
    # the service for the user document of a machine that has none yet.
    expected="GET /filelist POST /upload/log GET /userinfo POST /upload/user"
    ;;
wine)
    # The package's MSVC import library, as an MSVC host links it; the host lies beside the DLLs.
    x86_64-w64-mingw32-gcc -std=c99 -Wall -Wextra -Werror -pedantic "$examples/c/host.c" \
        -I"$prefix/include" "$prefix/lib/webinteractive.lib" -o "$prefix/bin/c_host.exe"
    run=(wine "$prefix/bin/c_host.exe")
    expected=$full_flow
    ;;
*)
    echo "unknown host kind $kind" >&2
    exit 2
    ;;
esac

mkdir -p "$work/data"
cp -r "$examples/data/." "$work/data/"
demo_service_start "$service" "$work/data" "$work/service.log"
status=0
if [ "$kind" = python ]; then
    WEBINTERACTIVE_TEST_SERVICE="$DEMO_SERVICE_URL" WEBINTERACTIVE_PREFIX="$work/machine" \
        "${run[@]}" || status=$?
else
    WEBINTERACTIVE_PREFIX="$work/machine" "${run[@]}" "$DEMO_SERVICE_URL" || status=$?
fi
demo_service_stop
# Each request of the log (combined format): its method and path, without the query.
requests=$(sed -n -E 's/^[^"]*"(GET|POST|HEAD) ([^ ?"]+)[^"]*".*$/\1 \2/p' "$work/service.log" |
    paste -s -d ' ')
if [ "$status" -ne 0 ] || [ "$requests" != "$expected" ]; then
    echo "host $kind: exit $status; requests: $requests; expected: $expected" >&2
    cat "$work/service.log" >&2
    exit 1
fi
echo "host $kind: flow complete, requests: $requests"
