#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need; skips what is present.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config clang-format
  googletest libgtest-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64
  libzip-dev libmodbus-dev libxml2-utils
  python3 python3-pymodbus python3-serial python3-serial-asyncio python3-pyftpdlib socat
  wine64 xvfb xauth
  # Halbrick's tests check the decoder's CRC-32 against zlib's; the archive service deflates
  # rewritten entries with zlib.
  zlib1g-dev
  # The archive tests have Info-ZIP's unzip test what the archive service writes; the
  # benchmarks (bench/*.sh) time with GNU time.
  unzip time
  # the Windows fonts' metrics for the dialog layout check under wine
  fonts-wine fonts-liberation
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
