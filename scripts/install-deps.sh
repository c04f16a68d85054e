#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and their peer servers need.
set -euo pipefail
packages=(cmake g++ make pkg-config libxml2-dev libxml2-utils libcurl4-openssl-dev curl
  libgtest-dev libgmock-dev nginx-light tinyproxy apache2 apache2-utils openssl)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y --no-install-recommends "${missing[@]}"
fi
