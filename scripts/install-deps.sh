#!/usr/bin/env bash
# Installs, with apt-get, every Debian package that the build, the tests, the
# benchmarks and the program need and that is not there yet.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ clang libclang-14-dev pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  zlib1g-dev libvorbisidec-dev libsdl2-dev libx11-dev libpng-dev libosmesa6-dev
  vorbis-tools xvfb xauth libxtst6 python3 time
)

missing=()
for package in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
