#!/usr/bin/env bash
# Makes the Debian package of a build (cpack), checks it with lintian (no error allowed), installs
# it with apt-get as a user would, runs the installed CLI, a host built through find_package and
# the C host of the examples built through pkg-config against the installed service, and removes
# the package again. Needs root (CI runs as root). Argument: the build folder (default ./build).
set -euo pipefail
cd "$(dirname "$0")/.."
build="$(realpath "${1:-build}")"
work="$build/package_check"
rm -rf "$work"
mkdir -p "$work"

# The reference documentation goes into the package where it is built.
cmake --build "$build" --target docs >/dev/null 2>&1 || echo "package-check: no reference documentation (doxygen)"
(cd "$work" && cpack --config "$build/CPackConfig.cmake" -G DEB >/dev/null)
package=$(ls "$work"/webinteractive_*.deb)
lintian --fail-on error "$package"

if dpkg-query -W -f='${Status}' webinteractive 2>/dev/null | grep -q 'install ok installed'; then
  echo "package-check: a webinteractive package is installed already; not replacing it" >&2
  exit 1
fi
trap 'DEBIAN_FRONTEND=noninteractive apt-get purge -y webinteractive >/dev/null' EXIT
DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "$package" >/dev/null

# grep reads the whole text: with -q it could close the pipe while the CLI still writes, and
# pipefail would count the CLI's SIGPIPE as a failure.
env --unset=LD_LIBRARY_PATH webinteractive --help | grep '^usage: webinteractive COMMAND' >/dev/null
cmake -S tests/install/consumer -B "$work/consumer" >/dev/null
cmake --build "$work/consumer" >/dev/null
WEBINTERACTIVE_PREFIX="$work/machine" "$work/consumer/consumer" >/dev/null
bash tests/hosts/host_check.sh c /usr /usr/bin/webinteractive-service "$work/c_host"
echo "package-check: $(basename "$package") installs, passes lintian and runs its hosts"
