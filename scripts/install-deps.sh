#!/usr/bin/env bash
# Installs the Debian packages the project builds and runs with, when any is missing.
set -euo pipefail
packages=(
  build-essential cmake ninja-build ccache pkg-config
  libsdl2-dev libepoxy-dev libegl1 libgl1-mesa-dri libegl-mesa0
  libopenal-dev libvorbis-dev libcurl4-openssl-dev libfreetype-dev fonts-dejavu-core
  zlib1g-dev libzopfli-dev libjpeg62-turbo-dev libstb-dev libssl-dev libcairo2-dev
  libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
  libbox2d-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "Installing: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages and not root: run as root or install them: ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${missing[@]}"
