#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need; skips what is present.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config clang-format
  googletest libgtest-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64
  libzip-dev libmodbus-dev libxml2-utils
  python3 python3-pymodbus python3-serial python3-serial-asyncio python3-pyftpdlib socat
  # The wine checks run the shipped 32-bit programs under 32-bit wine (wine32:i386 below);
  # wine64 makes the prefixes, and runs the 64-bit build where 32-bit programs cannot start.
  wine wine64 xvfb xauth
  # Halbrick's tests check the decoder's CRC-32 against zlib's; the archive service deflates
  # rewritten entries with zlib.
  zlib1g-dev
  # The archive tests have Info-ZIP's unzip test what the archive service writes; the
  # benchmarks (bench/*.sh) time with GNU time.
  unzip time
  # the Windows fonts' metrics for the dialog layout check under wine
  fonts-wine fonts-liberation
)

# 32-bit wine comes from the i386 architecture, which a fresh Debian machine does not have.
i386_packages=(wine32:i386)

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive

missing=()
for p in "${packages[@]}" "${i386_packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo_cmd[@]}" dpkg --add-architecture i386
  fi
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
