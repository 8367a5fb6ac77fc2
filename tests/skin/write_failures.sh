#!/bin/bash
# The library file's write fails (nothing written) or is cut short (part of
# it written): the start-up must leave no file behind, so that a later check
# writes it again. A file size limit on the probe's process makes the write
# fail or come short on a file the start-up has just created. (A symlink to
# /dev/full named SkinH_EL.dll would not do: the existence check finds the
# link and nothing is written.) The library is also on the search path, so
# the start-up goes on with it and the probe ends normally.
# Usage: write_failures.sh PROBE.exe STUB.dll WORKDIR
set -u
probe=$1 stub=$2 work=$3
here=$(cd "$(dirname "$0")/../.." && pwd)
export WINEPREFIX="${WINEPREFIX:-$here/build/win32/wineprefix}" WINEDEBUG="${WINEDEBUG:--all}"
[ -f "$WINEPREFIX/.tesmarin-ready" ] || "$here/scripts/wine-prefix" "$WINEPREFIX" || exit 1

rm -rf "$work"
mkdir -p "$work/search"
cp "$stub" "$work/search/SkinH_EL.dll"
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

# The limit must bind the probe alone: a wine server started under it could
# not save the prefix. Have one running (it lingers after its last client).
wineserver -p 20 </dev/null >/dev/null 2>&1 || true

image_kib=$(( $(stat -c %s "$stub") / 1024 ))
failed=0
# ulimit -f counts KiB in bash; 0 makes the first write fail.
for limit in 0 $(( image_kib / 2 )); do
    dir="$work/limit-$limit"
    mkdir -p "$dir"
    cp "$probe" "$dir/skin_probe.exe"
    # The log goes to standard output, a pipe, which the limit does not bind.
    # A fatal box that nobody answers ends in the timeout (a failure).
    log=$(ulimit -f "$limit"; trap '' XFSZ
          SKIN_STUB_LOG=- WINEPATH="$(winpath "$work/search")" exec timeout 60 wine "$dir/skin_probe.exe")
    code=$?
    problems=""
    [ "$code" = 0 ] || problems="$problems exit code $code;"
    [ -e "$dir/SkinH_EL.dll" ] && problems="$problems a library file of $(stat -c %s "$dir/SkinH_EL.dll") bytes was left;"
    printf '%s\n' "$log" | grep -q '^attach variant=full data=[0-9a-f]* size=' || problems="$problems no skin attached;"
    printf '%s\n' "$log" | grep -q '^aero on=1' || problems="$problems no aero call;"
    if [ -n "$problems" ]; then
        echo "FAILED with a file size limit of $limit KiB:$problems"
        printf '  log: %s\n' "$log"
        failed=$((failed + 1))
    else
        echo "ok: file size limit of $limit KiB, no file left, start-up went on"
    fi
done
# End the prefix's server and the services it started: they hold this
# script's output open, and CTest waits for it to close.
wineserver -k 2>/dev/null
[ "$failed" = 0 ]
