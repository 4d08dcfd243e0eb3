#!/usr/bin/env bash
# Installs what a purpose needs, only the packages missing; quiet and quick when all is there.
#   install-deps.sh run       building and playing (make run, make install)
#   install-deps.sh test      the above and the test tools (make test, sanitize, fuzz)
#   install-deps.sh package   the above and the package tools (make package and its checks)
# Without apt it installs nothing: it checks with pkg-config and the PATH that what the build
# needs is present, names what is missing and stops, or goes on when all is there.
set -euo pipefail

purpose=${1:-run}
case "$purpose" in
run | test | package) ;;
*)
    echo "install-deps: unknown purpose '$purpose' (run, test or package)" >&2
    exit 2
    ;;
esac

# Debian packages by purpose.
run_packages=(
    g++ cmake ninja-build make pkg-config
    libsdl2-dev libx11-dev libgl1-mesa-dri libegl-dev libgl-dev libegl-mesa0 libglu1-mesa-dev
    libfreetype-dev libfontconfig-dev fonts-dejavu-core fonts-liberation2 libstb-dev
)
test_packages=(
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth xdotool openbox
    clang libclang-rt-14-dev
)
package_packages=(
    dpkg-dev fakeroot file lintian desktop-file-utils appstream man-db
    xvfb xauth xdotool
)

# The same needs as pkg-config modules and commands, for systems without apt.
run_modules=(sdl2 x11 opengl egl glu freetype2 fontconfig stb)
run_commands=(c++ cmake ninja make pkg-config)
test_modules=(gtest gmock)
test_commands=(xvfb-run xauth xdotool openbox)
package_commands=(cpack dpkg-shlibdeps fakeroot lintian desktop-file-validate appstreamcli man)

wanted=("${run_packages[@]}")
modules=("${run_modules[@]}")
commands=("${run_commands[@]}")
if [ "$purpose" = test ]; then
    wanted+=("${test_packages[@]}")
    modules+=("${test_modules[@]}")
    commands+=("${test_commands[@]}")
elif [ "$purpose" = package ]; then
    wanted+=("${package_packages[@]}")
    commands+=("${package_commands[@]}")
fi

check_without_apt() {
    local missing=()
    for c in "${commands[@]}"; do
        command -v "$c" >/dev/null 2>&1 || missing+=("command $c")
    done
    if command -v pkg-config >/dev/null 2>&1; then
        for m in "${modules[@]}"; do
            pkg-config --exists "$m" || missing+=("pkg-config module $m")
        done
    fi
    if [ ${#missing[@]} -ne 0 ]; then
        echo "install-deps: no apt-get here, and the $purpose build needs what is missing:" >&2
        printf '  %s\n' "${missing[@]}" >&2
        echo "install-deps: install them with your system's package manager, then try again." >&2
        exit 1
    fi
}

if ! command -v apt-get >/dev/null 2>&1 || ! command -v dpkg-query >/dev/null 2>&1; then
    check_without_apt
    exit 0
fi

missing=()
for p in $(printf '%s\n' "${wanted[@]}" | sort -u); do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "install-deps: installing ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
