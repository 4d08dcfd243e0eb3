#!/usr/bin/env bash
# Installs the Debian packages the build, the game and the tests need; only those missing.
# Quiet and quick when everything is already present.
set -euo pipefail

packages=(
    g++ cmake ninja-build make pkg-config
    libsdl2-dev libgl1-mesa-dri libegl-dev libgl-dev libegl-mesa0 libglu1-mesa-dev
    libfreetype-dev libfontconfig-dev fonts-dejavu-core fonts-liberation2
    libstb-dev libx11-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth xdotool openbox
    clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
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
