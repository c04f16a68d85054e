#!/bin/bash
# The Windows machine of one test run under Wine:
#   wine_machine.sh start RUN_DIR SOURCE_DIR   a fresh prefix in RUN_DIR/prefix, held by a
#                                              persistent wineserver, booted once
#   wine_machine.sh stop RUN_DIR               ends its wineserver and waits for it, and the peer
#                                              servers a crashed test program left running
# The prefix has no Z: (Wine's drive for the whole Linux root: a test that picks "the last fixed
# drive" would write into /), D: is RUN_DIR/d, a fixed drive that tests may empty, and S: is the
# source tree as a CD-ROM drive (not fixed), where the test programs read their fixtures. Code page
# 936 comes from the zh_CN.UTF-8 locale built into RUN_DIR/locale (LOCPATH, LANG of every test).
set -euo pipefail
action=$1 run_dir=$2
export WINEPREFIX="$run_dir/prefix" WINEDEBUG=-all

# Peer servers of a test program that crashed or was stopped outlive it: their process groups end
# with the run (or when the next run starts over the old prefix).
end_left_peers() {
    local pid_file
    for pid_file in "$WINEPREFIX"/drive_c/users/*/Temp/wi-group-*/pid; do
        [ -f "$pid_file" ] && [ ! -f "$(dirname "$pid_file")/exited" ] || continue
        kill -TERM -- "-$(cat "$pid_file")" 2>/dev/null || true
    done
}

case "$action" in
start)
    source_dir=$3
    # Stop a server left by an interrupted run before its prefix goes.
    end_left_peers
    [ -d "$WINEPREFIX" ] && wineserver -k >/dev/null 2>&1 || true
    rm -rf "$run_dir"
    mkdir -p "$run_dir/d" "$run_dir/locale"
    localedef -i zh_CN -f UTF-8 "$run_dir/locale/zh_CN.UTF-8" >/dev/null 2>&1 ||
        [ -e "$run_dir/locale/zh_CN.UTF-8/LC_CTYPE" ]
    # Wine's helper processes keep the standard streams they are given: none of ctest's pipes.
    wineserver -f -p </dev/null >/dev/null 2>&1 &
    echo $! >"$run_dir/wineserver.pid"
    wine wineboot -i </dev/null >/dev/null 2>&1
    rm -f "$WINEPREFIX/dosdevices/z:"
    ln -sfn "$run_dir/d" "$WINEPREFIX/dosdevices/d:"
    ln -sfn "$source_dir" "$WINEPREFIX/dosdevices/s:"
    wine reg add 'HKLM\Software\Wine\Drives' /v s: /d cdrom /f </dev/null >/dev/null 2>&1
    # A test program that crashes ends at once instead of waiting in Wine's debugger.
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' \
        /f </dev/null >/dev/null 2>&1
    # The drive table is read when the server starts: restart it with the new drives.
    wineserver -k >/dev/null 2>&1 || true
    wait "$(cat "$run_dir/wineserver.pid")" 2>/dev/null || true
    wineserver -f -p </dev/null >/dev/null 2>&1 &
    echo $! >"$run_dir/wineserver.pid"
    wine cmd /c exit 0 </dev/null >/dev/null 2>&1
    ;;
stop)
    end_left_peers
    wineserver -k >/dev/null 2>&1 || true
    if [ -f "$run_dir/wineserver.pid" ]; then
        pid=$(cat "$run_dir/wineserver.pid")
        for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    fi
    ;;
*)
    echo "usage: $0 start RUN_DIR SOURCE_DIR | stop RUN_DIR" >&2
    exit 2
    ;;
esac
