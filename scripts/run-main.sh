#!/usr/bin/env bash
# Installs what is needed, builds, and runs the host CLI on the default machine prefix.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
cli=build/bin/webinteractive
config=$(mktemp)
trap 'rm -f "$config"' EXIT
cat > "$config" <<'XML'
<?xml version="1.0"?>
<Logs>
  <UpUserUrl>http://127.0.0.1:8080/user/up</UpUserUrl>
  <ReadUserUrl>http://127.0.0.1:8080/user/read</ReadUserUrl>
  <UpSysUrl>http://127.0.0.1:8080/sys/up</UpSysUrl>
  <MachineNum>0001</MachineNum>
  <DownSysPatchsUrl>http://127.0.0.1:8080/patchs</DownSysPatchsUrl>
</Logs>
XML
"$cli" machine
"$cli" init --config "$config"
