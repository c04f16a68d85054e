#!/usr/bin/env bash
# The main job's scripted session: the host CLI on the default machine prefix against a running
# reference service, step by step, then a summary of what happened and where the files are.
#
#   scripts/demo-session.sh CLI SERVICE_URL DATA_DIR WORK_DIR
#
# CLI is the webinteractive program, SERVICE_URL the service's address (http://127.0.0.1:PORT),
# DATA_DIR the service's data directory (the demo's install files, patches and patch lists are
# made there), WORK_DIR a folder for the session's own files (the configuration document and the
# log run's state). The machine is the default one: $WEBINTERACTIVE_PREFIX or ~/.webinteractive;
# the CLI is never given --prefix. Every step can be repeated: a protection left by an earlier run
# is cleaned first, the demo's files are made again where they are missing or differ, and its
# registry values are set again.
# Exit status: 0 when every step succeeded, 1 when one failed, 2 on wrong usage, 130 when
# interrupted.
set -uo pipefail

if [ $# -ne 4 ]; then
  echo "usage: $0 CLI SERVICE_URL DATA_DIR WORK_DIR" >&2
  exit 2
fi
cli="$1"
url="$2"
data_dir="$3"
work_dir="$4"
demo_dir="$(cd "$(dirname "$0")/../demo" && pwd)"
softwares="$demo_dir/softwares.xml"

# The machine's file names are UTF-8, whatever the user's locale: the demo's generator writes
# them so, and the CLI's narrow code page follows LC_CTYPE.
export LC_ALL=C.UTF-8

# The software the session protects, and the registry value it changes and restores.
guid='{6F2B8C41-3A57-4E0D-9B1C-2D5E7A8F0C11}'
changed_name='界面语言'
changed_data='English'

xpath() { xmllint --xpath "$2" "$1" 2>/dev/null; }
software_value() { xpath "$softwares" "string(//software[BaseInfo/GUID='$guid']$1)"; }
name=$(software_value '/BaseInfo/Name')
special_code=$(software_value '//VersionInfo/special_code')
install_name=$(software_value '//VersionInfo/DownloadPath')
changed_key=$(software_value "//cfg[Key='$changed_name']/Source")
original_data=$(software_value "//cfg[Key='$changed_name']/Value")

mkdir -p "$work_dir"
config="$work_dir/config.xml"
log_state="$work_dir/log.state"

steps=()
results=()
failures=0
logging=yes  # whether a step's outcome still goes into the log run

# Titles in bold on a terminal.
bold=""
plain=""
if [ -t 1 ]; then
  bold=$'\033[1m'
  plain=$'\033[0m'
fi

# Prints a step's title and the command line it runs.
current=""
announce() {
  current="$1"
  printf '\n%s== %s%s\n' "$bold" "$1" "$plain"
}
show_command() {
  local text="webinteractive" argument
  local special='[[:space:]"\{}|&;<>()$*?#~'"'"']'
  for argument in "$@"; do
    if [[ $argument =~ $special ]]; then
      text+=" '$argument'"
    else
      text+=" $argument"
    fi
  done
  printf '$ %s\n' "$text"
}

# Records a step's outcome for the summary and as one entry of the log run.
record() {
  local title="$1" status="$2"
  steps+=("$title")
  results+=("$status")
  local word="成功"
  if [ "$status" != OK ]; then
    word="失败"
    failures=$((failures + 1))
  fi
  if [ "$logging" = yes ] && [ -f "$log_state" ]; then
    "$cli" log add --state "$log_state" --guid "$guid" --special-code "$special_code" \
      --result "$title: $word" > /dev/null ||
      echo "(the step could not be added to the log run)" >&2
  fi
}

# step TITLE ARGUMENTS...: runs the CLI with the arguments, its output on this terminal.
step() {
  local title="$1"
  shift
  announce "$title"
  show_command "$@"
  if "$cli" "$@"; then record "$title" OK; else record "$title" FAILED; fi
}

# The data of a registry value as "registry show" prints it, or nothing.
registry_data() {
  "$cli" registry show | awk -F'\t' -v key="$1" -v name="$2" \
    '$1 == key && $2 == name { print $4 }'
}

print_summary() {
  local i
  printf '\n%s==================== summary ====================%s\n' "$bold" "$plain"
  for i in "${!steps[@]}"; do
    printf '%2d. %-6s  %s\n' $((i + 1)) "${results[$i]}" "${steps[$i]}"
  done
  printf '\n%d of %d steps succeeded.\n' $((${#steps[@]} - failures)) "${#steps[@]}"
  printf '\nWhere the files are:\n'
  printf '  machine prefix        %s\n' "${prefix:-?}"
  if [ -n "${prefix:-}" ]; then
    printf '  installed softwares   %s\n' "$prefix/drive_c/Program Files"
    printf '  registry store        %s\n' "$prefix/system.reg"
    printf '  protection store      %s\n' "$prefix/drive_d/qel_protect/software"
    printf '  downloaded file list  %s\n' "$(present "${downloaded_list:-}")"
    printf '  downloaded patch      %s\n' "$(present "${patch_file:-}")"
    printf '  downloaded installer  %s\n' "$(present "$templates/$name/$install_name")"
  fi
  printf '  service data          %s (uploads/: softlist, filelist, sysinfo, log)\n' "$data_dir"
  printf '  session files         %s (config.xml, log.state)\n' "$work_dir"
}

# A file's path, or a note when this run has not made it.
present() {
  if [ -n "$1" ] && [ -f "$1" ]; then echo "$1"; else echo "(none)"; fi
}

interrupted() {
  echo
  echo "interrupted during \"$current\": the session stops here" >&2
  print_summary
  exit 130
}
trap interrupted INT TERM

# ---- the machine and the service's data ----
announce "the machine and the demo data"
show_command machine
machine_text=$("$cli" machine)
status=$?
printf '%s\n' "$machine_text"
prefix=$(printf '%s\n' "$machine_text" | sed -n 's/^prefix: //p')
templates="$prefix/drive_c/ProgramData/Microsoft/Windows/Templates"
list_name="$name-filelist.xml"
if [ "$status" -eq 0 ] && [ -n "$prefix" ] &&
  "$demo_dir/generate.sh" machine "$prefix" && "$demo_dir/generate.sh" service "$data_dir"; then
  record "prepare the machine and the service's data" OK
else
  record "prepare the machine and the service's data" FAILED
  print_summary
  exit 1
fi

# Every software's registry values, as its installation would have left them.
announce "the installed softwares' registry values"
count=$(xpath "$softwares" 'count(//cfg)')
echo "\$ webinteractive registry set --key KEY --name NAME --type N --data TEXT   (each of the $count"
echo "  configuration entries of $softwares)"
status=OK
for i in $(seq 1 "${count:-0}"); do
  entry="(//cfg)[$i]"
  "$cli" registry set --key "$(xpath "$softwares" "string($entry/Source)")" \
    --name "$(xpath "$softwares" "string($entry/Key)")" \
    --type "$(xpath "$softwares" "string($entry/Type)")" \
    --data "$(xpath "$softwares" "string($entry/Value)")" || status=FAILED
done
record "set the softwares' registry values ($count)" "$status"

cat > "$config" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<Logs>
  <UpUserUrl>$url/upload/user</UpUserUrl>
  <ReadUserUrl>$url/userinfo</ReadUserUrl>
  <UpSysUrl>$url/upload/sysinfo</UpSysUrl>
  <MachineNum>DEMO-0001</MachineNum>
  <DownSysPatchsUrl>$url/patchlist</DownSysPatchsUrl>
  <SysId>webinteractive-demo</SysId>
  <CaseId>main-job</CaseId>
  <Creator>演示</Creator>
  <Servlet>$url/upload/log</Servlet>
</Logs>
XML

step "start the log run" log start --state "$log_state"

# A protection left by an earlier run is removed first, so that this run starts from scratch.
if "$cli" query xml --guid "$guid" > /dev/null 2>&1; then
  step "clean the protection an earlier run left" clean --guid "$guid"
fi

# ---- documents to the service and back ----
step "upload the software list" softlist upload --list "$softwares" --url "$url/upload/softlist"
step "upload the file list" filelist upload --list "$softwares" --url "$url/upload/filelist"
# The protection reads the list this run downloads, never one an earlier run left.
downloaded_list="$prefix/drive_c/users/Public/Documents/$list_name"
rm -f "$downloaded_list"
step "download the file list of $name" filelist download --url "$url/filelist" --guid "$guid" \
  --save "C:\\users\\Public\\Documents\\$list_name"

# ---- protection ----
step "protect $name into the store" protect --list "$downloaded_list" --guid "$guid"
step "query its protect document" query xml --guid "$guid"
step "query its install path" query install --guid "$guid"
step "query its version" query version --guid "$guid"

announce "change a registry value of $name, then restore it from the store"
echo "before:   $changed_key  $changed_name = $(registry_data "$changed_key" "$changed_name")"
step "change $changed_name to $changed_data" registry set --key "$changed_key" \
  --name "$changed_name" --type 1 --data "$changed_data"
echo "changed:  $changed_key  $changed_name = $(registry_data "$changed_key" "$changed_name")"
step "restore the configuration of $name" config restore --list "$downloaded_list" --guid "$guid"
restored=$(registry_data "$changed_key" "$changed_name")
echo "restored: $changed_key  $changed_name = $restored"
if [ "$restored" = "$original_data" ]; then
  record "$changed_name is $original_data again" OK
else
  record "$changed_name is $original_data again (it is \"$restored\")" FAILED
fi

# ---- patches and install files ----
guid_query=${guid//\{/%7B}
guid_query=${guid_query//\}/%7D}
step "read the patch list of $name" patch parse --url "$url/patchlist?guid=$guid_query"
patch_id=$(xpath "$data_dir/patchlists/$guid.xml" 'string((//patch/version/PatchID)[1])')
before=$(ls "$templates"/DownFile*.tmp 2>/dev/null)
step "download the patch $patch_id" patch download --url "$url/patch" --id "$patch_id"
patch_file=$(comm -13 <(printf '%s\n' "$before") <(ls "$templates"/DownFile*.tmp 2>/dev/null) |
  tail -n 1)
rm -f "$templates/$name/$install_name"
step "download the installer $install_name" download install --url "$url/install" \
  --subdir "$name" --name "$install_name"

# ---- system information, cleaning, the log ----
step "upload the system information" sysinfo upload --config "$config"
step "clean the protection of $name" clean --guid "$guid"
# The cleaning answers 1 once it ran, whatever its commands did: look at every drive's store.
if compgen -G "$prefix/dosdevices/*/qel_protect/software/$guid" > /dev/null; then
  record "the store no longer holds $name (it still does)" FAILED
else
  record "the store no longer holds $name" OK
fi
logging=no
step "stop the log run (uploaded to the service)" log stop --state "$log_state" \
  --config "$config" --type protect --source "webinteractive 演示"

print_summary
[ "$failures" -eq 0 ]
