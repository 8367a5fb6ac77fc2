#!/bin/bash
# A read-only run directory: the start-up cannot write the library, finds none
# on the search path and ends in the fatal box with exit code -1. Root ignores
# directory permissions, so the case runs as an unprivileged user (created
# here when missing) with a Wine prefix of its own; the directory belongs to
# root. Exit code 77 (skipped) when that cannot be arranged.
# Usage: readonly_as_user.sh DRIVER.exe PROBE.exe WORKDIR
set -u
driver=$1 probe=$2 work=$3
user=tesmarin-skin
here=$(cd "$(dirname "$0")/../.." && pwd)

skip() { echo "SKIPPED: $*"; exit 77; }
[ "$(id -u)" = 0 ] || skip "needs root to run the probe as another user"
command -v runuser >/dev/null || skip "no runuser"
if ! id -u "$user" >/dev/null 2>&1; then
    command -v useradd >/dev/null || skip "no user $user and no useradd to create one"
    useradd --system --user-group --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$user" ||
        skip "cannot create user $user"
fi
as_user() { runuser -u "$user" -- env HOME="$home" WINEPREFIX="$prefix" WINEDEBUG=-all DISPLAY="${DISPLAY:-}" "$@"; }

# Everything the user touches lies where the user can reach it: the work
# folder if its parents let the user through, else a folder under /tmp.
mkdir -p "$work"
if ! runuser -u "$user" -- test -x "$work" -a -r "$driver" -a -r "$probe"; then
    work=$(mktemp -d /tmp/tesmarin-skin-as-user.XXXXXX)
    chmod 755 "$work"
    cp "$driver" "$work/driver.exe"
    driver="$work/driver.exe"
    trap 'as_user wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
fi
home="$work/home"
prefix="$home/prefix"
mkdir -p "$home"
chown "$user:" "$home"
# The script is fed on standard input: the checkout itself may lie where the
# user cannot read (a clone in a private temporary folder).
as_user sh -s "$prefix" <"$here/scripts/wine-prefix" || { echo "FAILED: no Wine prefix for $user"; exit 1; }

# The run directory: root's, with the probe in it, not writable by the user.
run="$work/read-only run"
rm -rf "$run"
mkdir -p "$run"
cp "$probe" "$run/skin_probe.exe"
chmod 755 "$run"
as_user test -w "$run" && skip "$user can write to $run"

as_user env SKIN_READONLY_RUN_DIR="$run" \
    wine "$driver" --gtest_filter='StartupAsUser.*'
code=$?
as_user wineserver -w
exit $code
