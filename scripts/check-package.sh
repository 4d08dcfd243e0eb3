#!/usr/bin/env bash
# Checks the Debian package as a user meets it: builds it (make package), checks it with
# lintian, validates its desktop entry and metainfo, installs it with apt-get, starts the
# installed program under Xvfb until its main window shows the title screen, shows its manual
# page, and removes the package again. Prints the time of each step.
# Needs root or sudo for apt-get. Usage: scripts/check-package.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
PKG_BUILD=${PKG_BUILD:-build-pkg}
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)

times=()
step_start=0
begin() {
    echo "== $1"
    step_name=$1
    step_start=$(date +%s%N)
}
end() {
    times+=("$(printf '%6.1f s  %s' "$((($(date +%s%N) - step_start) / 1000000))e-3" "$step_name")")
}

begin "make package"
make package PKG_BUILD="$PKG_BUILD"
deb=$(ls -1 "$root/$PKG_BUILD"/kryxspace_*.deb | tail -n 1)
end

begin "lintian"
# Errors fail; the warnings and notes we accept are listed in dist/lintian-accepted.
lintian --fail-on error --suppress-tags-from-file dist/lintian-accepted "$deb"
end

begin "desktop entry and metainfo"
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
desktop-file-validate "$unpacked/usr/share/applications/kryxspace.desktop"
appstreamcli validate --no-net "$unpacked"/usr/share/metainfo/*.metainfo.xml
program=$unpacked/usr/games/kryxspace
echo "program in the package: $(stat -c %s "$program") bytes, $(file -b "$program" | grep -o '[a-z ]*stripped')"
end

begin "apt-get install"
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null
# /usr/games is on a user's PATH, not necessarily on root's.
[ -x /usr/games/kryxspace ] || { echo "FAIL: no /usr/games/kryxspace"; exit 1; }
end

begin "installed program under Xvfb"
bash tests/e2e/run_installed.sh /usr/games/kryxspace
end

begin "manual page"
man -l /usr/share/man/man6/kryxspace.6.gz 2>/dev/null | grep -q "^KRYXSPACE(6)" ||
    { echo "FAIL: the manual page does not show"; exit 1; }
end

begin "apt-get remove"
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq kryxspace >/dev/null
for f in /usr/games/kryxspace /usr/share/games/kryxspace /usr/share/man/man6/kryxspace.6.gz; do
    [ ! -e "$f" ] || { echo "FAIL: $f is left after removal"; exit 1; }
done
end

echo "== times"
printf '%s\n' "${times[@]}"
