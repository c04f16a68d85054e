# shellcheck shell=bash
# Starting and stopping the reference service for the main job; sourced by scripts/run-main.sh and
# by the main job's test.
#
#   demo_service_start PROGRAM DATA_DIR LOG_FILE [SERVICE OPTIONS...]
#       starts webinteractive-service on 127.0.0.1 on a free port with the data directory, its
#       request log (standard output and error) in LOG_FILE; returns once it listens and sets
#       DEMO_SERVICE_URL (http://127.0.0.1:PORT) and DEMO_SERVICE_PID. Fails after saying why when
#       it cannot start.
#   demo_service_stop
#       stops it (SIGTERM, then SIGKILL after 10 s); does nothing when none was started.

DEMO_SERVICE_URL=""
DEMO_SERVICE_PID=""

demo_service_start() {
  local program="$1" data="$2" log="$3"
  shift 3
  local port
  mkdir -p "$data"
  for _ in $(seq 1 20); do
    # A port from 20000 to 59999; one that is taken makes the service exit at once, and the
    # next attempt takes another.
    port=$((20000 + (RANDOM * 32768 + RANDOM) % 40000))
    "$program" --data "$data" --listen 127.0.0.1 --port "$port" "$@" > "$log" 2>&1 &
    DEMO_SERVICE_PID=$!
    # It prints its "listening on" line once the port is bound and listening.
    for _ in $(seq 1 100); do
      if grep -q '^listening on ' "$log" 2>/dev/null; then
        # shellcheck disable=SC2034  # read by the scripts that source this file
        DEMO_SERVICE_URL="http://127.0.0.1:$port"
        return 0
      fi
      kill -0 "$DEMO_SERVICE_PID" 2>/dev/null || break
      sleep 0.1
    done
    if kill -0 "$DEMO_SERVICE_PID" 2>/dev/null; then
      echo "webinteractive-service did not start listening within 10 s (see $log)" >&2
      demo_service_stop
      return 1
    fi
    wait "$DEMO_SERVICE_PID" 2>/dev/null || true
    DEMO_SERVICE_PID=""
    grep -q 'cannot listen' "$log" || { cat "$log" >&2; return 1; }
  done
  echo "webinteractive-service found no free port in 20 attempts" >&2
  return 1
}

demo_service_stop() {
  [ -n "$DEMO_SERVICE_PID" ] || return 0
  kill -TERM "$DEMO_SERVICE_PID" 2>/dev/null || true
  for _ in $(seq 1 100); do
    kill -0 "$DEMO_SERVICE_PID" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL "$DEMO_SERVICE_PID" 2>/dev/null || true
  wait "$DEMO_SERVICE_PID" 2>/dev/null || true
  DEMO_SERVICE_PID=""
}
