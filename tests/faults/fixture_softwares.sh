# Shared by the fault scripts: a machine prefix with softwares ready to protect.
# After sourcing: `prefix`, `list` (a file list document of the softwares below) and `wi`, which
# runs the CLI on the prefix. Each software {NAME} has version 1, installed in D:\Apps\NAME, with
# the file a.exe (NAME:COUNT: and COUNT more files of 32 KiB), one dependence of its own and one
# configuration entry.
set -u
work_softwares() {  # work folder, NAME or NAME:COUNT...
    local work="$1"
    shift
    rm -rf "$work"
    mkdir -p "$work"
    prefix="$work/machine"
    list="$work/softwares.xml"
    wi machine >/dev/null 2>&1 || { echo "FAIL: the machine could not be made"; exit 1; }
    {
        echo '<?xml version="1.0" encoding="gb2312"?>'
        echo '<softwares>'
        local item name count i
        for item in "$@"; do
            name="${item%%:*}"
            count=0
            [ "$item" = "$name" ] || count="${item#*:}"
            mkdir -p "$prefix/drive_d/Apps/$name" "$prefix/drive_c/Shared/$name"
            head -c 4096 /dev/urandom >"$prefix/drive_d/Apps/$name/a.exe"
            head -c 4096 /dev/urandom >"$prefix/drive_c/Shared/$name/dep.dll"
            cat <<XML
<software><BaseInfo><GUID>{$name}</GUID><Name>$name</Name></BaseInfo>
<Version><VersionInfo><GUID>{$name}</GUID><Version>1</Version><SetupPath>D:\\Apps\\$name</SetupPath></VersionInfo>
<FileList><file><SId>1</SId><Name>a.exe</Name><SetupPath>D:\\Apps\\$name\\a.exe</SetupPath><Type>0</Type><Category>0</Category></file>
XML
            for i in $(seq "$count"); do
                head -c 32768 /dev/urandom >"$prefix/drive_d/Apps/$name/f$i.dat"
                echo "<file><SId>$((i + 1))</SId><Name>f$i.dat</Name><SetupPath>D:\\Apps\\$name\\f$i.dat</SetupPath><Type>0</Type><Category>0</Category></file>"
            done
            cat <<XML
</FileList>
<Dependence><dep><Name>dep.dll</Name><SetupPath>C:\\Shared\\$name\\dep.dll</SetupPath></dep></Dependence>
<Configration><cfg><Source>HKLM</Source><Key>Software\\$name</Key><Value>1</Value><Type>1</Type><delflag>1</delflag><Action>1</Action></cfg></Configration>
</Version></software>
XML
        done
        echo '</softwares>'
    } >"$list"
}

wi() { "$cli" "$@" --prefix "$prefix"; }

# The answer of a query: the last line of standard output ("" when it failed).
answer() {
    local out
    out=$(wi query "$1" --guid "{$2}" 2>/dev/null) && printf '%s\n' "$out" | tail -n 1
}
