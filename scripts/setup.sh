#!/usr/bin/env bash
# Installs what the project needs (when missing), then configures and builds into build/.
set -euo pipefail
cd "$(dirname "$0")/.."

# dpkg-dev and file let CPack find the package's dependencies; systemd checks its unit; clang
# and its runtime libraries build the fuzz targets with libFuzzer; clang-format checks the format.
packages=(build-essential cmake pkg-config libsdl2-dev liblodepng-dev libepoxy-dev libopenal-dev
          zlib1g-dev libgtest-dev libgmock-dev libbenchmark-dev libgl1-mesa-dri xvfb xauth xdotool x11-apps
          python3 dpkg-dev file systemd clang libclang-rt-dev clang-format iproute2 procps)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
