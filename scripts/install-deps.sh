#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and their peer servers need (clang and its
# runtime libraries for the fuzz targets); with the argument "windows", also those of the Windows
# cross-build.
set -euo pipefail
packages=(cmake g++ make pkg-config libxml2-dev libxml2-utils libcurl4-openssl-dev libssl-dev curl
  libgtest-dev libgmock-dev libcpp-httplib-dev libsystemd-dev systemd nginx-light tinyproxy apache2
  apache2-utils openssl locales python3 mono-mcs mono-runtime doxygen lintian libcli11-dev
  nlohmann-json3-dev gettext clang libclang-rt-14-dev)
# "windows": also the mingw-w64 cross-compiler of the Windows build and Wine, which runs its tests
# (winbind gives Wine's NTLM its ntlm_auth; the tests start none of its services).
if [ "${1:-}" = windows ]; then
  packages+=(g++-mingw-w64-x86-64-posix mingw-w64-tools wine winbind)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  # The peer servers are started by the tests themselves: keep their packages from starting
  # system services during the install (two of them would fight over port 80).
  policy=/usr/sbin/policy-rc.d
  added_policy=""
  if [ ! -e "$policy" ]; then
    printf '#!/bin/sh\nexit 101\n' | $sudo_cmd tee "$policy" >/dev/null
    $sudo_cmd chmod +x "$policy"
    added_policy=yes
  fi
  status=0
  $sudo_cmd apt-get update || status=$?
  if [ "$status" -eq 0 ]; then
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y --no-install-recommends \
      "${missing[@]}" || status=$?
  fi
  [ -z "$added_policy" ] || $sudo_cmd rm -f "$policy"
  exit "$status"
fi
