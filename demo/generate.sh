#!/usr/bin/env bash
# Makes the demo data set's large files from the small documents beside this script:
#
#   demo/generate.sh machine PREFIX    the installed files of softwares.xml (every "file" and
#                                      "dep" SetupPath) on the machine whose prefix is PREFIX
#   demo/generate.sh service DATA_DIR  the service's data directory: the install files that
#                                      softwares.xml names as DownloadPath (files/), the patches
#                                      that patchlists/*.xml name (files/patches/) and the patch
#                                      lists themselves (patchlists/)
#
# Every file is made the same on every run: its size (a few MiB) and its bytes follow from its
# name alone, so a file already there with the right size is left as it is.
set -euo pipefail
demo_dir="$(cd "$(dirname "$0")" && pwd)"
softwares="$demo_dir/softwares.xml"

# The texts of the nodes an XPath expression selects in a document, one a line, in UTF-8.
xpath_lines() {
  xmllint --xpath "$2" "$1" 2>/dev/null || true
  echo
}

# make_file PATH SEED SMALLEST_KIB SPREAD_KIB: a file of pseudo-random bytes whose size lies in
# [SMALLEST, SMALLEST + SPREAD) KiB; the seed picks both the size and the bytes.
make_file() {
  local path="$1" seed="$2" smallest="$3" spread="$4"
  local digest size
  digest=$(printf '%s' "$seed" | sha256sum | cut -c1-32)
  size=$(( (smallest + 16#${digest:0:8} % spread) * 1024 ))
  if [ -f "$path" ] && [ "$(stat -c %s "$path")" -eq "$size" ]; then
    return 0
  fi
  mkdir -p "$(dirname "$path")"
  # AES in counter mode over zeros: a fast, repeatable stream that does not compress.
  openssl enc -aes-128-ctr -nosalt -K "$digest" -iv 0 -in /dev/zero 2>/dev/null |
    head -c "$size" > "$path.part" || true
  [ "$(stat -c %s "$path.part")" -eq "$size" ] || { echo "cannot write $path" >&2; return 1; }
  mv -f "$path.part" "$path"
}

# The host path of a Windows path on the machine: its drive through the prefix's drive map.
host_path() {
  local prefix="$1" windows="$2"
  local drive="${windows:0:1}"
  local rest="${windows:3}"
  printf '%s/dosdevices/%s:/%s' "$prefix" "${drive,,}" "${rest//\\//}"
}

machine() {
  local prefix="$1" path count=0
  [ -d "$prefix/dosdevices" ] || { echo "$prefix is not a machine prefix" >&2; return 1; }
  while IFS= read -r path; do
    [ -n "$path" ] || continue
    make_file "$(host_path "$prefix" "$path")" "$path" 1024 3072
    count=$((count + 1))
  done < <(xpath_lines "$softwares" '//file/SetupPath/text() | //dep/SetupPath/text()' | sort -u)
  echo "$count installed files under $prefix"
}

service() {
  local data="$1" name count=0
  mkdir -p "$data/files/patches" "$data/patchlists"
  while IFS= read -r name; do
    [ -n "$name" ] || continue
    make_file "$data/files/$name" "$name" 4096 2048
    count=$((count + 1))
  done < <(xpath_lines "$softwares" '//VersionInfo/DownloadPath/text()')
  local list
  for list in "$demo_dir"/patchlists/*.xml; do
    cp -f "$list" "$data/patchlists/"
    while IFS= read -r name; do
      [ -n "$name" ] || continue
      make_file "$data/files/patches/$name" "$name" 2048 1024
      count=$((count + 1))
    done < <(xpath_lines "$list" '//patch/version/PatchID/text()')
  done
  echo "$count service files under $data"
}

case "${1:-}:$#" in
  machine:2) machine "$2" ;;
  service:2) service "$2" ;;
  *) echo "usage: $0 machine PREFIX | service DATA_DIR" >&2; exit 2 ;;
esac
