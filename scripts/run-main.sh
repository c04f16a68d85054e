#!/usr/bin/env bash
# The main job: installs what is needed, builds everything, starts the reference service on the
# demo data set and runs the scripted CLI session (scripts/demo-session.sh) on the default machine
# prefix ($WEBINTERACTIVE_PREFIX or ~/.webinteractive). Ends with the session's summary; the
# service is stopped on every way out, also on failure or Ctrl-C. The service's data directory
# and the session's files stay in a new folder under ${TMPDIR:-/tmp} for a look afterwards.
# Exit status: that of the session (0 when every step succeeded).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh

# Downloads go at this many bytes a second, so that a few MiB take a couple of seconds and the
# progress bars show.
rate=1572864

work=$(mktemp -d "${TMPDIR:-/tmp}/webinteractive-main.XXXXXX")
source scripts/demo-service.sh
stop() {
  if [ -n "$DEMO_SERVICE_PID" ]; then
    demo_service_stop
    echo "the service is stopped; its request log is $work/service.log"
  fi
}
trap stop EXIT
trap 'exit 130' INT TERM

demo_service_start build/bin/webinteractive-service "$work/service-data" "$work/service.log" \
  --rate "$rate"
echo "webinteractive-service listens on $DEMO_SERVICE_URL (data in $work/service-data)"

status=0
scripts/demo-session.sh build/bin/webinteractive "$DEMO_SERVICE_URL" "$work/service-data" \
  "$work/session" || status=$?
exit "$status"
